#include "AboutBox.h"

#include "DialogUnits.h"
#include "ResourceImages.h"
#include "WindowPlacement.h"

#include "Application.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <string>

namespace relicwright {

namespace {

// Client area and controls, in dialog units.
constexpr QSize kClientSize(217, 42);
constexpr QRect kIconRect(5, 5, 20, 20);
constexpr QRect kTitleRect(30, 5, 185, 8);
constexpr QRect kCopyrightRect(30, 15, 75, 8);
constexpr QRect kOkRect(180, 25, 32, 14);
constexpr QRect kContactRect(5, 30, 85, 8);

// The standard (large) icon size.
constexpr int kIconPixels = 32;

QLabel* staticText(const std::string& text, QWidget* parent) {
    auto* label = new QLabel(parent);
    // Plain text and no buddy: an "&" is shown as itself.
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromStdString(text));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

AboutBox::AboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName(QString::number(kAboutBoxDialog));
    setWindowTitle(QString::fromStdString(Application::aboutBoxTitle()));
    setFont(dialogFont());
    const DialogUnits units = DialogUnits::forFont(font());

    // Creation order is the tab order.
    QLabel* title = staticText(Application::aboutText(), this);
    title->setGeometry(units.toPixels(kTitleRect));
    QLabel* copyright = staticText(Application::copyrightText(), this);
    copyright->setGeometry(units.toPixels(kCopyrightRect));

    auto* ok = new QPushButton(QString::fromLatin1(Application::kOkText), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    ok->setGeometry(units.toPixels(kOkRect));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(ResourceImages::programIcon().pixmap(QSize(kIconPixels, kIconPixels), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    icon->setGeometry(units.toPixels(kIconRect));

    QLabel* contact = staticText(Application::contactText(), this);
    contact->setGeometry(units.toPixels(kContactRect));

    setFixedSize(units.toPixels(QRect(QPoint(0, 0), kClientSize)).size());
    setModal(true);
    ok->setFocus();
}

AboutBox::~AboutBox() = default;

void AboutBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 &&
        (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0) {
        emit helpRequested(Application::helpTopic(kAboutBoxDialog));
        return;
    }
    QDialog::keyPressEvent(event);
}

void AboutBox::showEvent(QShowEvent* event) {
    // Over the main window, once its frame is known.
    WindowPlacement::centre(*this, parentWidget());
    QDialog::showEvent(event);
}

} // namespace relicwright
