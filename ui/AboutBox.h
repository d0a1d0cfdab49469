#pragma once

#include <QDialog>

namespace relicwright {

// Dialog 100 (kAboutBoxDialog): who made the program. Holds no state; made anew each time it is
// shown.
class AboutBox final : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* owner);
    ~AboutBox() override;

signals:
    // F1 was pressed in the box.
    void helpRequested(unsigned topic);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

} // namespace relicwright
