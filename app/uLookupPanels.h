#pragma once

#include <QWidget>

// The mobile-number lookup panel "Pal_2_5" of the main window.
class TMobileLookupPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TMobileLookupPanel(QWidget *parent = nullptr);
};

// The area-code lookup panel "Pal_2_6" of the main window.
class TAreaLookupPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TAreaLookupPanel(QWidget *parent = nullptr);

    // Runs after the panel has been made visible by its bar button: opens
    // the area query the first time only.
    void FirstShow();
};
