#pragma once

#include <QComboBox>

namespace relicwright {

// A drop-down list with a text field that takes typing but never turns it into an entry, and that
// reports every closing of its drop-down, however it closed.
class DropDownList final : public QComboBox {
    Q_OBJECT

public:
    explicit DropDownList(QWidget* parent = nullptr);

    bool isDroppedDown() const;

signals:
    // Emitted once per closing: a pick, Enter, Escape, a click elsewhere, the arrow button, or the
    // window losing activation. The selection a pick makes is set only after this is emitted.
    void dropDownClosed();

public:
    void showPopup() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* watchedPopup_ = nullptr;
};

} // namespace relicwright
