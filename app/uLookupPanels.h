#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace platform::db {
class DbGrid;
}

// The mobile-number lookup panel "Pal_2_5" of the main window: finds the
// province, city, area code and card type of an eleven-digit mobile number
// in the data module's card query.
class TMobileLookupPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TMobileLookupPanel(QWidget *parent = nullptr);

    // Looks the number in Cardtext up by its first seven digits and fills
    // the four result edits; tells the user when the number is malformed,
    // unknown, or the lookup fails, and then leaves the result edits empty.
    void LookupMobile();
    void SpeedButton10Click() { LookupMobile(); }
    // Key filter of Cardtext: digits, Backspace, Enter and Escape pass;
    // every other character is swallowed. Enter runs the lookup. Returns
    // true when the character is swallowed.
    bool CardtextKeyPress(QChar key);

    QLabel *Label18;
    QLineEdit *Cardtext;
    QToolButton *SpeedButton10;
    QGroupBox *GroupBox1;
    QLineEdit *edt_1; // province
    QLineEdit *edt_2; // city
    QLineEdit *edt_3; // area code
    QLineEdit *edt_4; // card type

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// The area-code lookup panel "Pal_2_6" of the main window: searches the
// area-code table by one chosen column and lists the hits.
class TAreaLookupPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TAreaLookupPanel(QWidget *parent = nullptr);

    // Runs after the panel has been made visible by its bar button: opens
    // the area query the first time only.
    void FirstShow();
    // Adds the labels of the grid's data columns to FCboBoxField, in
    // column order, and selects the first.
    void FillAreaFieldList();
    // Runs the search that the field, the text and the check box describe.
    void SearchArea();
    void SpeedButton9Click() { SearchArea(); }

    QLabel *Label6;
    QComboBox *FCboBoxField;
    QCheckBox *CheckBoxFind;
    QLabel *Label17;
    QLineEdit *FFieldText;
    QToolButton *SpeedButton9;
    platform::db::DbGrid *DBGrid_Area;

    // The area query's statement as it was at the first show.
    QString FAreaSql;
    // The column last chosen through FCboBoxField.
    QString FAreaField;

protected:
    void resizeEvent(QResizeEvent *event) override;
};
