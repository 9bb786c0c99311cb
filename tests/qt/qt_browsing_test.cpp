#define QTEST_QPA_MOUSE_HANDLING
#include <unistd.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "platform/error.h"
#include "platform/qt/drive_list.h"
#include "platform/qt/file_list.h"
#include "platform/qt/folder_list.h"
#include "platform/qt/qt_main_form.h"
#include "qt_test_support.h"

using pravelo::platform::Error;
using pravelo::platform::qt::DriveList;
using pravelo::platform::qt::FileList;
using pravelo::platform::qt::FolderList;
using pravelo::platform::qt::QtMainForm;
using pravelo::qttest::handleQueuedEvents;
using pravelo::qttest::RecordingEvents;
using pravelo::qttest::RecordingMessageBoxes;

namespace {

void touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QStringList entries(const pravelo::platform::FileListControl& list) {
    QStringList names;
    for (int i = 0; i < list.listCount(); ++i) {
        names << QString::fromStdString(list.list(i));
    }
    return names;
}

QStringList childFolders(QTreeWidget* tree) {
    QStringList names;
    QTreeWidgetItem* current = tree->currentItem();
    for (int i = 0; current != nullptr && i < current->childCount(); ++i) {
        names << current->child(i)->text(0);
    }
    return names;
}

}  // namespace

class BrowsingTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void fileListMatchesPatternsWithoutRegardToCase();
    void fileListLeavesOutHiddenFilesAndFolders();
    void fileListChangesClearTheSelection();
    void unreadableFolderIsRefusedAndKept_data();
    void unreadableFolderIsRefusedAndKept();
    void folderListShowsChainAndSubfolders();
    void folderDoubleClickChangesFolderOnce();
    void doubleClickOnVanishedFolderIsReported();
    void typedPatternRaisesNothing();
    void listChoiceRaisesClick();
    void listChoiceEqualToTypedTextStillCounts();
    void addingEntriesKeepsThePatternText();
    void driveListOffersBrowsableVolumes();

  private:
    void showAndActivate();

    QTemporaryDir temp_;
    QtMainForm* form_ = nullptr;
    RecordingEvents events_;
    RecordingMessageBoxes boxes_;
};

void BrowsingTest::init() {
    QVERIFY(temp_.isValid());
    const QString root = temp_.path();
    for (const char* name :
         {"a.doc", "B.DOC", "c.dot", "d.txt", "e.Doc", ".skjult.doc", "readme"}) {
        touch(root + "/" + name);
    }
    QVERIFY(QDir(root).mkpath("Breve/2024"));
    QVERIFY(QDir(root).mkpath("arkiv.doc"));
    QVERIFY(QDir(root).mkpath(".gemt"));
    touch(root + "/Breve/brev.doc");

    events_ = RecordingEvents();
    boxes_.shown.clear();
    form_ = new QtMainForm;
    form_->setEvents(&events_);
    form_->setMessageBoxes(&boxes_);
}

void BrowsingTest::cleanup() {
    delete form_;
    form_ = nullptr;
}

void BrowsingTest::showAndActivate() {
    form_->show();
    QVERIFY(QTest::qWaitForWindowActive(form_));
}

void BrowsingTest::fileListMatchesPatternsWithoutRegardToCase() {
    auto& files = form_->File1();
    QCOMPARE(files.pattern(), std::string("*.doc"));
    files.setPath(temp_.path().toStdString());
    QCOMPARE(QString::fromStdString(files.path()), QDir::cleanPath(temp_.path()));
    QCOMPARE(entries(files), (QStringList{"a.doc", "B.DOC", "e.Doc"}));

    files.setPattern("*.DOC;*.dot");
    QCOMPARE(entries(files), (QStringList{"a.doc", "B.DOC", "c.dot", "e.Doc"}));

    files.setPattern("?.DO?");
    QCOMPARE(entries(files), (QStringList{"a.doc", "B.DOC", "c.dot", "e.Doc"}));

    // As on Windows, "*.*" is every file, with or without a dot.
    files.setPattern("*.*");
    QCOMPARE(entries(files), (QStringList{"a.doc", "B.DOC", "c.dot", "d.txt", "e.Doc", "readme"}));

    files.setPattern("*.rtf");
    QCOMPARE(files.listCount(), 0);
    QCOMPARE(files.list(0), std::string());
    QVERIFY(!files.selected(0));
}

void BrowsingTest::fileListLeavesOutHiddenFilesAndFolders() {
    form_->File1().setPath(temp_.path().toStdString());
    form_->File1().setPattern("*");
    const QStringList names = entries(form_->File1());
    QVERIFY(!names.contains(".skjult.doc"));
    QVERIFY(!names.contains("arkiv.doc"));  // a folder, not a file
    QVERIFY(!names.contains("Breve"));
}

void BrowsingTest::fileListChangesClearTheSelection() {
    showAndActivate();
    auto* list = form_->findChild<QListWidget*>("File1");
    auto& files = form_->File1();
    files.setPath(temp_.path().toStdString());
    files.setPattern("*.doc;*.dot");

    // Click, then Ctrl+click: extended selection.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualItemRect(list->item(2)).center());
    QVERIFY(files.selected(0) && !files.selected(1) && files.selected(2));
    QCOMPARE(events_.raised, QStringList());  // selecting starts nothing

    files.setPattern("*.doc;*.dot");
    QCOMPARE(list->selectedItems().size(), 0);

    list->selectAll();
    files.setPath((temp_.path() + "/Breve").toStdString());
    QCOMPARE(entries(files), QStringList{"brev.doc"});
    QVERIFY(!files.selected(0));
}

void BrowsingTest::unreadableFolderIsRefusedAndKept_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("number");
    QTest::newRow("missing") << "/mangler" << int(pravelo::platform::errnum::PathNotFound);
    QTest::newRow("a file") << "/a.doc" << int(pravelo::platform::errnum::PathNotFound);
    QTest::newRow("empty") << "" << int(pravelo::platform::errnum::PathNotFound);
    QTest::newRow("no access") << "/laast" << int(pravelo::platform::errnum::PermissionDenied);
}

void BrowsingTest::unreadableFolderIsRefusedAndKept() {
    QFETCH(QString, target);
    QFETCH(int, number);
    if (target == "/laast") {
        if (::geteuid() == 0) {
            QSKIP("root reads every folder");
        }
        QVERIFY(QDir(temp_.path()).mkdir("laast"));
        QFile::setPermissions(temp_.path() + target, QFileDevice::WriteOwner);
    }
    const std::string path =
        target.isEmpty() ? std::string() : (temp_.path() + target).toStdString();
    const std::string start = temp_.path().toStdString();

    form_->File1().setPath(start);
    const QStringList before = entries(form_->File1());
    try {
        form_->File1().setPath(path);
        QFAIL("File1 took a folder it cannot read");
    } catch (const Error& error) {
        QCOMPARE(error.number(), number);
        QVERIFY(!error.description().empty());
    }
    QCOMPARE(form_->File1().path(), start);
    QCOMPARE(entries(form_->File1()), before);

    form_->Dir1().setPath(start);
    QVERIFY_THROWS_EXCEPTION(Error, form_->Dir1().setPath(path));
    QCOMPARE(form_->Dir1().path(), start);
    QCOMPARE(events_.raised, QStringList());
}

void BrowsingTest::folderListShowsChainAndSubfolders() {
    auto* tree = form_->findChild<QTreeWidget*>("Dir1");
    form_->Dir1().setPath((temp_.path() + "/Breve/../").toStdString());
    QCOMPARE(QString::fromStdString(form_->Dir1().path()), QDir::cleanPath(temp_.path()));

    // The chain from "/" down, the current folder highlighted.
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("/"));
    QTreeWidgetItem* current = tree->currentItem();
    QCOMPARE(current->data(0, FolderList::PathRole).toString(), QDir::cleanPath(temp_.path()));
    QCOMPARE(current->text(0), QDir(temp_.path()).dirName());
    QCOMPARE(childFolders(tree), (QStringList{"arkiv.doc", "Breve"}));
    QVERIFY(current->isExpanded());
    QCOMPARE(events_.raised, QStringList());  // set from code: no event
}

void BrowsingTest::folderDoubleClickChangesFolderOnce() {
    form_->Dir1().setPath(temp_.path().toStdString());
    showAndActivate();
    auto* tree = form_->findChild<QTreeWidget*>("Dir1");
    QTreeWidgetItem* breve = tree->currentItem()->child(1);
    QCOMPARE(breve->text(0), QStringLiteral("Breve"));
    tree->scrollToItem(breve);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(breve).center());

    QTRY_COMPARE(events_.raised, QStringList{"Dir1_Change"});
    QCOMPARE(QString::fromStdString(form_->Dir1().path()),
             QDir::cleanPath(temp_.path() + "/Breve"));
    QCOMPARE(childFolders(tree), QStringList{"2024"});
    handleQueuedEvents();
    QCOMPARE(events_.raised, QStringList{"Dir1_Change"});

    // The current folder itself: nothing changes.
    QTreeWidgetItem* current = tree->currentItem();
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {},
                       tree->visualItemRect(current).center());
    handleQueuedEvents();
    QCOMPARE(events_.raised, QStringList{"Dir1_Change"});

    // Up the chain by its parent link.
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {},
                       tree->visualItemRect(current->parent()).center());
    QTRY_COMPARE(events_.raised.size(), 2);
    QCOMPARE(QString::fromStdString(form_->Dir1().path()), QDir::cleanPath(temp_.path()));
}

void BrowsingTest::doubleClickOnVanishedFolderIsReported() {
    form_->Dir1().setPath(temp_.path().toStdString());
    showAndActivate();
    auto* tree = form_->findChild<QTreeWidget*>("Dir1");
    QTreeWidgetItem* arkiv = tree->currentItem()->child(0);
    QVERIFY(QDir(temp_.path() + "/arkiv.doc").removeRecursively());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(arkiv).center());
    QTRY_COMPARE(boxes_.shown.size(), std::size_t{1});
    QVERIFY(boxes_.shown[0].text.find("arkiv.doc") != std::string::npos);
    QCOMPARE(boxes_.shown[0].title, std::string("Pravelo"));
    QCOMPARE(boxes_.shown[0].icon, pravelo::platform::MessageIcon::None);
    QCOMPARE(QString::fromStdString(form_->Dir1().path()), QDir::cleanPath(temp_.path()));
    QCOMPARE(events_.raised, QStringList());
}

void BrowsingTest::typedPatternRaisesNothing() {
    form_->Combo1().addItem("*.doc");
    form_->Combo1().addItem("*.dot");
    showAndActivate();
    auto* combo = form_->findChild<QComboBox*>("Combo1");
    QVERIFY(combo->completer() == nullptr);
    combo->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, "*.rtf");
    QTest::keyClick(combo, Qt::Key_Return);
    QCOMPARE(form_->Combo1().text(), std::string("*.rtf"));
    QCOMPARE(form_->Combo1().listCount(), 2);  // typed text is not added

    // Typed text equal to an entry, then Enter or leaving the field.
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, "*.dot");
    QTest::keyClick(combo, Qt::Key_Return);
    form_->findChild<QWidget*>("Dir1")->setFocus();
    QCOMPARE(events_.raised, QStringList());
}

void BrowsingTest::listChoiceRaisesClick() {
    form_->Combo1().addItem("*.doc");
    form_->Combo1().addItem("*.dot");
    showAndActivate();
    auto* combo = form_->findChild<QComboBox*>("Combo1");
    combo->setFocus();

    // Arrow keys on the closed list.
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(events_.raised, QStringList{"Combo1_Click"});
    QCOMPARE(form_->Combo1().text(), std::string("*.dot"));
    QTest::keyClick(combo, Qt::Key_Up);
    QCOMPARE(events_.raised.size(), 2);
    QCOMPARE(form_->Combo1().text(), std::string("*.doc"));

    // Enter on an unchanged choice is not another choice.
    QTest::keyClick(combo, Qt::Key_Return);
    QCOMPARE(events_.raised.size(), 2);

    // The mouse, through the opened list.
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    QTRY_VERIFY(view->isVisible());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(combo->model()->index(1, 0)).center());
    QTRY_COMPARE(events_.raised.size(), 3);
    QCOMPARE(form_->Combo1().text(), std::string("*.dot"));
}

void BrowsingTest::listChoiceEqualToTypedTextStillCounts() {
    form_->Combo1().addItem("*.doc");
    form_->Combo1().addItem("*.dot");
    showAndActivate();
    auto* combo = form_->findChild<QComboBox*>("Combo1");
    combo->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, "*.dot");
    QCOMPARE(events_.raised, QStringList());
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(events_.raised, QStringList{"Combo1_Click"});
    QCOMPARE(form_->Combo1().text(), std::string("*.dot"));
}

void BrowsingTest::addingEntriesKeepsThePatternText() {
    auto& combo = form_->Combo1();
    combo.addItem("*.dot");
    combo.addItem("*.doc");
    QCOMPARE(combo.text(), std::string("*.doc"));
    QCOMPARE(combo.listCount(), 2);
    QCOMPARE(combo.list(0), std::string("*.dot"));
    QCOMPARE(combo.list(1), std::string("*.doc"));
    QCOMPARE(combo.list(2), std::string());
    QCOMPARE(events_.raised, QStringList());
}

void BrowsingTest::driveListOffersBrowsableVolumes() {
    const QStringList roots = DriveList::volumeRoots();
    QVERIFY(!roots.isEmpty());
    QCOMPARE(roots.first(), QStringLiteral("/"));
    for (const QString& root : roots) {
        QVERIFY2(QFileInfo(root).isDir(), qPrintable(root));
    }
    auto* drives = form_->findChild<QComboBox*>("Drive1");
    QCOMPARE(drives->count(), roots.size());
    QVERIFY(!drives->isEditable());
    // The volume holding the current folder is chosen at start.
    const QString drive = QString::fromStdString(form_->Drive1().drive());
    QCOMPARE(drive, QStorageInfo(QDir::currentPath()).rootPath());

    showAndActivate();
    drives->setFocus();
    if (drives->count() > 1) {
        const int other = drives->currentIndex() == 0 ? 1 : 0;
        QTest::keyClick(drives, other == 1 ? Qt::Key_Down : Qt::Key_Up);
        QCOMPARE(events_.raised, QStringList{"Drive1_Change"});
        QCOMPARE(QString::fromStdString(form_->Drive1().drive()), roots.at(other));
    } else {
        QTest::keyClick(drives, Qt::Key_Down);
        QCOMPARE(events_.raised, QStringList());  // the same drive is no change
    }
}

QTEST_MAIN(BrowsingTest)
#include "qt_browsing_test.moc"
