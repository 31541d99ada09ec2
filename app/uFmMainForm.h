#pragma once

#include <QWidget>

class QLabel;
class TBrowsePanel;

// The main window. For now it hosts the browsing panel and the status
// line with the record count.
class TFmMainForm : public QWidget
{
    Q_OBJECT
public:
    explicit TFmMainForm(QWidget *parent = nullptr);

    // Loads the company list, builds the tree and writes the record count.
    void FormCreate();

    TBrowsePanel *Pal_1;
    QLabel *PanelC;

protected:
    void closeEvent(QCloseEvent *event) override;
};

// The one main window, set while it exists.
extern TFmMainForm *FmMainForm;
