#pragma once

#include <QMap>
#include <QWidget>

class QToolButton;
class ToolTitleStrip;

namespace platform {
class PopupMenu;
}
namespace platform::db {
class DataSource;
class DbEdit;
class DbMemo;
} // namespace platform::db

// The company card "企业信息": every field of the current company row in
// read-only boxes bound to the company data source, and the company profile
// in an editable memo whose text the data layer posts when the row moves.
// A borderless tool window above its owner; closing only hides it.
class TFmPackContent : public QWidget
{
    Q_OBJECT
public:
    TFmPackContent(platform::db::DataSource *source, QWidget *owner);
    ~TFmPackContent() override;

    // Handlers.
    void SpeedButton4Click();
    void Image1MouseDown(Qt::MouseButton button, const QPointF &globalPos);
    // Discards every typed character (sets key to a null character).
    void cAreaNoKeyPress(QChar &key);

    // Gives a control the card's pop-up menu, which is empty, so a right
    // click on the control shows nothing. The control's own menu comes back
    // when the card goes.
    void UsePopupMenu(QWidget *control);

    // The box bound to a column; nullptr for a column the card does not show.
    platform::db::DbEdit *Box(const QString &field) const { return m_boxes.value(field, nullptr); }

    // Opens centred on the main window the first time, and always on screen:
    // placed before it is shown, as a window moved while it is being mapped
    // may never be painted.
    void setVisible(bool visible) override;

    ToolTitleStrip *Image1;
    QToolButton *SpeedButton4;
    platform::PopupMenu *PopupMenu1;
    platform::db::DbMemo *cCorpMemo;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Esc closes the card.
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_placed = false;
    QMap<QString, platform::db::DbEdit *> m_boxes;
};

// The detail card once it has been opened; empty before.
extern TFmPackContent *FmPackContent;
