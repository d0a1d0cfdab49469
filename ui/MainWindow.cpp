#include "MainWindow.h"

#include "AboutBox.h"
#include "BannerPicture.h"
#include "ComboChoiceList.h"
#include "DropDownList.h"
#include "HelpViewer.h"
#include "QtWindowServices.h"
#include "ResourceImages.h"
#include "WindowPlacement.h"

#include "Application.h"
#include "BannerRenderings.h"
#include "Converter.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <qdrawutil.h>

#include <algorithm>
#include <string_view>

namespace relicwright {

namespace {

// Client area and controls, in dialog units. The lists' heights include their dropped lists.
constexpr QSize kClientSize(309, 85);
constexpr QRect kLoadRect(5, 45, 50, 14);
constexpr QRect kSaveRect(5, 65, 50, 14);
constexpr QRect kBannerRect(5, 5, 299, 30);
constexpr QRect kItemFieldRect(60, 45, 185, 14);
constexpr QRect kItemListRect(60, 65, 185, 75);
constexpr QRect kSourceGameFieldRect(250, 45, 55, 14);
constexpr QRect kTargetListRect(250, 65, 55, 43);
// Height of a list's closed selection field, like the text fields beside it.
constexpr int kSelectionFieldHeight = 14;

// Width of the sunken edge drawn around the client area.
constexpr int kClientEdge = 2;

QLineEdit* readOnlyField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    return field;
}

QString accessibleNameOf(Control control) {
    const std::string_view name = Application::accessibleName(control);
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// A control is found by its number and spoken by the name the application gives it.
void identify(QWidget* control, Control number) {
    control->setObjectName(QString::number(static_cast<unsigned>(number)));
    control->setAccessibleName(accessibleNameOf(number));
}

QPushButton* pushButton(const char* text, QWidget* parent) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    // An auto-default button would become the dialog's default and take Enter from other controls.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

struct OverrideCursor {
    OverrideCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~OverrideCursor() { QApplication::restoreOverrideCursor(); }
    OverrideCursor(const OverrideCursor&) = delete;
    OverrideCursor& operator=(const OverrideCursor&) = delete;
};

} // namespace

MainWindow::MainWindow(const std::string& applicationName, const Services& services, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      help_(services.help), units_(0, 0),
      guard_(services.messages, QString::fromStdString(applicationName), [this] { return messageOwner(); }) {
    setObjectName(QString::number(kMainWindowDialog));
    setWindowTitle(QString::fromStdString(Application::windowTitle()));
    setFont(dialogFont());
    units_ = DialogUnits::forFont(font());
    setWindowIcon(ResourceImages::programIcon());

    createControls();

    itemChoices_ = std::make_unique<ComboChoiceList>(*itemList_);
    targetChoices_ = std::make_unique<ComboChoiceList>(*targetList_);
    windowServices_ = std::make_unique<QtWindowServices>(*this, services.fileDialogs, services.messages,
                                                         guard_, *sourceGameField_, *itemField_);
    converter_ =
        std::make_unique<Converter>(*itemChoices_, *targetChoices_, *windowServices_, services.files);

    connect(loadButton_, &QPushButton::clicked, this,
            [this] { guard_.run([this] { converter_->loadSourceFile(); }); });
    connect(saveButton_, &QPushButton::clicked, this,
            [this] { guard_.run([this] { converter_->saveOutputFile(); }); });
    // Queued: a pick sets the list's selection only after the drop-down has closed.
    connect(
        targetList_, &DropDownList::dropDownClosed, this,
        [this] { guard_.run([this] { converter_->applyTargetGame(); }); }, Qt::QueuedConnection);

    converter_->fillLists();
    converter_->pushToWindow();

    const QSize client = units_.toPixels(QRect(QPoint(0, 0), kClientSize)).size();
    setFixedSize(client + QSize(2 * kClientEdge, 2 * kClientEdge));
    loadButton_->setFocus();
    // Files dropped on the lists' text fields go to the window too.
    for (DropDownList* list : {itemList_, targetList_}) {
        if (QLineEdit* edit = list->lineEdit()) {
            edit->setAcceptDrops(false);
        }
    }
    setAcceptDrops(true);
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls() {
    const QPoint origin(kClientEdge, kClientEdge);
    auto place = [&](QWidget* control, const QRect& units) {
        control->setGeometry(units_.toPixels(units).translated(origin));
    };

    // Creation order is the tab order. The fields and lists have no labels on screen, so a screen
    // reader is told their names.
    loadButton_ = pushButton(Application::kLoadText, this);
    identify(loadButton_, Control::LoadButton);
    place(loadButton_, kLoadRect);

    saveButton_ = pushButton(Application::kSaveText, this);
    identify(saveButton_, Control::SaveButton);
    place(saveButton_, kSaveRect);

    banner_ = new BannerPicture(&ResourceImages::banner, QSize(kBannerWidth, kBannerHeight), this);
    banner_->setObjectName(QStringLiteral("banner"));
    place(banner_, kBannerRect);

    itemField_ = readOnlyField(this);
    identify(itemField_, Control::ItemField);
    place(itemField_, kItemFieldRect);

    auto placeList = [&](DropDownList* list, const QRect& units) {
        const QRect whole = units_.toPixels(units);
        const QRect field =
            units_.toPixels(QRect(units.topLeft(), QSize(units.width(), kSelectionFieldHeight)));
        list->setGeometry(field.translated(origin));
        const int rowHeight = std::max(1, list->fontMetrics().height());
        list->setMaxVisibleItems(std::max(1, (whole.height() - field.height()) / rowHeight));
    };

    itemList_ = new DropDownList(this);
    identify(itemList_, Control::ItemList);
    placeList(itemList_, kItemListRect);

    sourceGameField_ = readOnlyField(this);
    identify(sourceGameField_, Control::SourceGameField);
    place(sourceGameField_, kSourceGameFieldRect);

    targetList_ = new DropDownList(this);
    identify(targetList_, Control::TargetList);
    placeList(targetList_, kTargetListRect);

    // A screen reader on Linux speaks a drop-down list's selection as its name and learns what the
    // list is from a label that has it as buddy; these labels are too small to be seen.
    for (DropDownList* list : {itemList_, targetList_}) {
        auto* label = new QLabel(list->accessibleName(), this);
        label->setBuddy(list);
        label->setGeometry(list->x(), list->y(), 0, 0);
        label->lower();
    }

    setTabOrder(loadButton_, saveButton_);
    setTabOrder(saveButton_, itemField_);
    setTabOrder(itemField_, itemList_);
    setTabOrder(itemList_, sourceGameField_);
    setTabOrder(sourceGameField_, targetList_);
}

QWidget* MainWindow::messageOwner() {
    return aboutBox_ != nullptr ? static_cast<QWidget*>(aboutBox_) : this;
}

void MainWindow::openFile(const std::string& path) {
    guard_.run([this, &path] { converter_->loadFile(FileChoice::fromPath(path)); });
}

void MainWindow::openWhenShown(std::string path) {
    openWhenShown_ = std::move(path);
}

std::optional<std::string> MainWindow::droppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) {
        return std::nullopt;
    }
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) {
        return std::nullopt;
    }
    const QString file = urls.front().toLocalFile();
    if (file.isEmpty() || QFileInfo(file).isDir()) {
        return std::nullopt;
    }
    return QFile::encodeName(file).toStdString();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (droppedFile(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (droppedFile(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const auto file = droppedFile(event->mimeData());
    if (!file) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Loaded after the drop has finished, so that a message box does not hold up the program the
    // file came from.
    QTimer::singleShot(0, this, [this, path = *file] { openFile(path); });
}

void MainWindow::showAboutBox() {
    AboutBox box(this);
    connect(&box, &AboutBox::helpRequested, this, &MainWindow::requestHelp);
    aboutBox_ = &box;
    struct Forget {
        AboutBox*& box;
        ~Forget() { box = nullptr; }
    } forget{aboutBox_};
    box.exec();
}

void MainWindow::requestHelp(unsigned topic) {
    guard_.run([this, topic] {
        bool started = false;
        {
            const OverrideCursor waiting;
            QPointer<MainWindow> window(this);
            started = help_.showTopic(this, topic, [window] {
                if (window) {
                    window->guard_.reportWarning(QString::fromLatin1(Application::kHelpFailedText));
                }
            });
        }
        if (!started) {
            guard_.reportWarning(QString::fromLatin1(Application::kHelpFailedText));
        }
    });
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    switch (event->key()) {
    case Qt::Key_F1:
        if ((modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0) {
            requestHelp(Application::helpTopic(kMainWindowDialog));
            return;
        }
        break;
    case Qt::Key_Escape:
        reject();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if ((modifiers & Qt::AltModifier) != 0) {
            break;
        }
        // Enter presses the focused button; anywhere else it ends the window.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        } else {
            accept();
        }
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    // The About entry lives on the banner and the window's background; controls keep their own.
    if (event->reason() != QContextMenuEvent::Keyboard) {
        QWidget* target = childAt(event->pos());
        if (target != nullptr && target != banner_) {
            event->ignore();
            return;
        }
    }
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("aboutMenu"));
    QAction* about = menu.addAction(QString::fromLatin1(Application::kAboutEntryText));
    if (menu.exec(event->globalPos()) == about) {
        guard_.run([this] { showAboutBox(); });
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    // Centred once, when the frame around the window is known; afterwards it stays where the user
    // puts it.
    if (!placed_) {
        WindowPlacement::centre(*this, nullptr);
        placed_ = true;
    }
    QDialog::showEvent(event);
    if (openWhenShown_) {
        QTimer::singleShot(0, this, [this, path = std::move(*openWhenShown_)] { openFile(path); });
        openWhenShown_.reset();
    }
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), true);
}

} // namespace relicwright
