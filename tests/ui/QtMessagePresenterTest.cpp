#include "WindowFixture.h"

#include "ui/QtMessagePresenter.h"

#include <QLabel>
#include <QMessageBox>

namespace relicwright::testing {
namespace {

struct SeenBox {
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QString labelText;
    Qt::TextFormat labelFormat = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    bool okOnly = false;
    bool onTop = false;
    Qt::WindowModality modality = Qt::NonModal;
    QWidget* parent = nullptr;
};

// Shows the message through the real presenter and records the box it put up, then presses OK.
SeenBox showAndDismiss(const Message& message, QWidget* owner = nullptr) {
    SeenBox seen;
    whenShown([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
              [&seen](QWidget* widget) {
                  auto* box = static_cast<QMessageBox*>(widget);
                  seen.title = box->windowTitle();
                  seen.text = box->text();
                  seen.format = box->textFormat();
                  if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
                      seen.labelText = label->text();
                      seen.labelFormat = label->textFormat();
                  }
                  seen.icon = box->icon();
                  seen.buttons = static_cast<int>(box->buttons().size());
                  seen.okOnly = box->standardButtons() == QMessageBox::Ok;
                  seen.onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                  seen.modality = box->windowModality();
                  seen.parent = box->parentWidget();
                  QTest::keyClick(box->windowHandle(), Qt::Key_Return);
              });
    QtMessagePresenter presenter;
    presenter.present(owner, message);
    return seen;
}

TEST(QtMessagePresenter, ShowsMarkupAndMnemonicsLiterallyWithOneOkButton) {
    const QString path = QStringLiteral("/tmp/<b>x</b> &amp; %1.itm");
    const SeenBox seen = showAndDismiss(
        {QStringLiteral("Relicwright"), path + QStringLiteral(" was not found."), MessageIcon::Stop, false});
    EXPECT_EQ(seen.title.toStdString(), "Relicwright");
    EXPECT_EQ(seen.text, path + QStringLiteral(" was not found."));
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_EQ(seen.labelText, seen.text);
    EXPECT_EQ(seen.labelFormat, Qt::PlainText);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_TRUE(seen.okOnly);
    EXPECT_FALSE(seen.onTop);
    EXPECT_EQ(seen.modality, Qt::ApplicationModal);
}

TEST(QtMessagePresenter, IconPerKindAndOutOfMemoryStaysOnTop) {
    QWidget owner;
    owner.show();
    const SeenBox plain =
        showAndDismiss({QStringLiteral("C"), QStringLiteral("File saved to Harddrive")}, &owner);
    EXPECT_EQ(plain.icon, QMessageBox::NoIcon);
    EXPECT_EQ(plain.parent, &owner);

    const SeenBox memory = showAndDismiss(
        {QStringLiteral("C"), QStringLiteral("Out of memory."), MessageIcon::Exclamation, true});
    EXPECT_EQ(memory.icon, QMessageBox::Warning);
    EXPECT_TRUE(memory.onTop);
}

} // namespace
} // namespace relicwright::testing
