#pragma once

#include <QGroupBox>

namespace su {

// A group box drawn the classic way: an etched frame whose top line runs
// through the middle of the caption, so that children placed from the box's
// top left corner keep their places under the caption.
class GroupFrame : public QGroupBox
{
    Q_OBJECT
public:
    explicit GroupFrame(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace su
