#include "WindowFixture.h"

#include "converter/Converter.h"
#include "ui/FileFilterList.h"
#include "ui/QtFileDialogs.h"

#include <QComboBox>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>

namespace relicwright::testing {
namespace {

using Filter = FileFilterList::Filter;

// The dialog's Open or Save button.
void confirm(QFileDialog& dialog) {
    static_cast<QDialog&>(dialog).accept();
}

TEST(FileFilterList, ReadsPairsUntilTheDoubleBarAndSplitsPatterns) {
    const FileFilterList open = FileFilterList::parse(kOpenFilter);
    ASSERT_EQ(open.filters().size(), 4u);
    EXPECT_EQ(open.filters()[0], (Filter{"Both Files (*.itm;*.hif)", {"*.itm", "*.hif"}}));
    EXPECT_EQ(open.filters()[1], (Filter{"Diablo Files (*.itm)", {"*.itm"}}));
    EXPECT_EQ(open.filters()[2], (Filter{"Hellfire Files (*.hif)", {"*.hif"}}));
    // "*.*" also matches names without a dot.
    EXPECT_EQ(open.filters()[3], (Filter{"All Files (*.*)", {"*"}}));

    EXPECT_TRUE(FileFilterList::parse("").empty());
    // Nothing after the list's end counts, nor a description without patterns.
    EXPECT_EQ(FileFilterList::parse("A|*.a||B|*.b||").filters().size(), 1u);
    EXPECT_TRUE(FileFilterList::parse("A||").empty());
    EXPECT_TRUE(FileFilterList::parse("|*.a||").empty());
}

class QtFileDialogsTest : public ::testing::Test {
protected:
    TempDir dir;

    static QStringList listed(QFileDialog& dialog) {
        auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
        QStringList names;
        if (view == nullptr) {
            return names;
        }
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row) {
            names << view->model()->index(row, 0, root).data().toString();
        }
        names.sort();
        return names;
    }

    static QStringList offeredTypes(QFileDialog& dialog) {
        auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QStringList texts;
        for (int i = 0; types != nullptr && i < types->count(); ++i) {
            texts << types->itemText(i);
        }
        return texts;
    }

    static bool listsExactly(QFileDialog& dialog, const QStringList& names) {
        return waitUntil([&] { return listed(dialog) == names; });
    }

    void touch(const char* name) { writeBytes(dir.file(name), {0}); }

    // What the user types into the name field.
    static void typeName(QFileDialog& dialog, const char* name) {
        auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(field, nullptr);
        field->setText(QString::fromLatin1(name));
    }
};

TEST_F(QtFileDialogsTest, OpenDialogShowsEachDescriptionAsWrittenAndAppliesItsPatterns) {
    for (const char* name : {"a.itm", "B.HIF", "c.txt", "noext"}) {
        touch(name);
    }
    QFileDialog dialog;
    QtFileDialogs::configureOpen(dialog, kOpenFilter, kOpenOptions);
    dialog.setDirectory(QString::fromStdString(dir.path()));
    dialog.show();

    EXPECT_EQ(offeredTypes(dialog),
              (QStringList{QStringLiteral("Both Files (*.itm;*.hif)"), QStringLiteral("Diablo Files (*.itm)"),
                           QStringLiteral("Hellfire Files (*.hif)"), QStringLiteral("All Files (*.*)")}));
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    EXPECT_TRUE(listsExactly(dialog, {QStringLiteral("B.HIF"), QStringLiteral("a.itm")}))
        << listed(dialog).join(QLatin1Char(',')).toStdString();

    dialog.selectNameFilter(dialog.nameFilters().at(3));
    EXPECT_TRUE(listsExactly(dialog, {QStringLiteral("B.HIF"), QStringLiteral("a.itm"),
                                      QStringLiteral("c.txt"), QStringLiteral("noext")}))
        << listed(dialog).join(QLatin1Char(',')).toStdString();
}

TEST_F(QtFileDialogsTest, OpenDialogOnlyConfirmsAnExistingFile) {
    touch("here.itm");
    QFileDialog dialog;
    QtFileDialogs::configureOpen(dialog, kOpenFilter, kOpenOptions);
    dialog.setDirectory(QString::fromStdString(dir.path()));
    dialog.show();

    bool warned = false;
    whenShown([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
              [&](QWidget* box) {
                  warned = true;
                  static_cast<QMessageBox*>(box)->accept();
              });
    typeName(dialog, "missing.itm");
    confirm(dialog);
    EXPECT_TRUE(waitUntil([&] { return warned; }));
    EXPECT_TRUE(dialog.isVisible());

    typeName(dialog, "here.itm");
    confirm(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const FileChoice choice = FileChoice::fromPath(dialog.selectedFiles().value(0).toStdString());
    EXPECT_EQ(choice.path, dir.file("here.itm"));
}

TEST_F(QtFileDialogsTest, SaveDialogAppendsTheDefaultExtensionOnlyToANameWithoutOne) {
    QFileDialog dialog;
    QtFileDialogs::configureSave(dialog, kHellfireSaveFilter, "hif", "dagger.hif", kSaveOptions);
    dialog.setDirectory(QString::fromStdString(dir.path()));
    dialog.show();
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text().toStdString(), "dagger.hif");
    EXPECT_EQ(offeredTypes(dialog), QStringList{QStringLiteral("Hellfire Files (*.hif)")});
    EXPECT_EQ(dialog.fileMode(), QFileDialog::AnyFile);

    const std::vector<std::pair<const char*, const char*>> cases = {
        {"out", "out.hif"}, {"out.bin", "out.bin"}, {"a.b", "a.b"}};
    for (const auto& [typed, expected] : cases) {
        typeName(dialog, typed);
        confirm(dialog);
        EXPECT_EQ(dialog.selectedFiles().value(0).toStdString(), dir.file(expected)) << typed;
        dialog.show();
    }
}

TEST_F(QtFileDialogsTest, SaveDialogAsksBeforeReplacingAFile) {
    touch("old.hif");
    QFileDialog dialog;
    QtFileDialogs::configureSave(dialog, kHellfireSaveFilter, "hif", "old.hif", kSaveOptions);
    dialog.setDirectory(QString::fromStdString(dir.path()));
    dialog.show();

    int asked = 0;
    whenShown([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
              [&](QWidget* box) {
                  ++asked;
                  static_cast<QMessageBox*>(box)->done(QMessageBox::No);
              });
    confirm(dialog);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(QtFileDialogsTest, EmptyFilterOffersNoTypesAndListsEveryFile) {
    touch("a.itm");
    touch("noext");
    QFileDialog dialog;
    QtFileDialogs::configureSave(dialog, "", "", "Invalid File", kSaveOptions);
    dialog.setDirectory(QString::fromStdString(dir.path()));
    dialog.show();
    EXPECT_TRUE(offeredTypes(dialog).isEmpty());
    EXPECT_TRUE(listsExactly(dialog, {QStringLiteral("a.itm"), QStringLiteral("noext")}))
        << listed(dialog).join(QLatin1Char(',')).toStdString();
    // No default extension: the name is taken as typed.
    typeName(dialog, "plain");
    confirm(dialog);
    EXPECT_EQ(dialog.selectedFiles().value(0).toStdString(), dir.file("plain"));
}

} // namespace
} // namespace relicwright::testing
