// The whole path a user takes: the real window, the real logic and the real
// LibreOffice, over three selected documents of which the second is damaged.
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "office_fixture.h"
#include "platform/libreoffice/uno/libreoffice_launcher.h"
#include "window_harness.h"

namespace fs = std::filesystem;
using namespace pravelo;

class WindowOfficeTest : public QObject {
    Q_OBJECT

  private slots:
    void editsTheGoodDocumentsAndListsTheDamagedOne() {
        testing::TempFolder root;
        const fs::path userProfile = root.path() / "profile" / "user";
        const fs::path privateFolder = root.path() / "private";
        fs::create_directories(privateFolder);
        testing::writeUserProfile(
            userProfile,
            {{"Standard",
              {{"Module1",
                "Sub Maerk\n"
                "    ThisComponent.getText().getStart().setString(\"PRAVELO-REDIGERET \")\n"
                "End Sub\n"}}}});

        const std::string profileBefore = testing::folderDigest(userProfile);

        platform::libreoffice::LibreOfficeOptions options =
            platform::libreoffice::LibreOfficeOptions::defaults();
        options.userProfile = userProfile;
        options.tempFolder = privateFolder;
        auto office = std::make_unique<platform::libreoffice::LibreOfficeLauncher>(options);
        auto harness = std::make_unique<testing::WindowHarness>(office.get());
        testing::WindowHarness& h = *harness;

        const fs::path folder = h.machine.cwd;
        fs::copy_file(testing::wordFixtures() / "first.doc", folder / "1 første.doc");
        fs::copy_file(testing::wordFixtures() / "second.doc", folder / "3 tredje, & sidste.doc");
        {
            // A real document cut short cannot be loaded.
            std::ifstream in(testing::wordFixtures() / "first.doc", std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), {});
            std::ofstream(folder / "2 beskadiget æø.doc", std::ios::binary)
                << bytes.substr(0, bytes.size() / 3);
        }

        h.window.Form_Load();
        h.form.Text1().setText("Maerk");
        h.window.Text1_Change();
        h.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&h.form));
        auto* files = h.form.findChild<QListWidget*>(QStringLiteral("File1"));
        QCOMPARE(files->count(), 3);
        files->selectAll();
        QTest::mouseClick(h.form.findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);

        std::ifstream logFile(h.logPath(), std::ios::binary);
        const std::string log((std::istreambuf_iterator<char>(logFile)), {});
        const std::string first = testing::officeText(folder / "1 første.doc");
        QVERIFY2(first.find("PRAVELO-REDIGERET Første") != std::string::npos,
                 (first + log).c_str());
        QVERIFY(testing::officeText(folder / "3 tredje, & sidste.doc").find("PRAVELO-REDIGERET ") !=
                std::string::npos);

        QCOMPARE(std::count(log.begin(), log.end(), '\n'), 1);
        QVERIFY(log.ends_with("\r\n"));
        // The log is in the single-byte code page: æ and ø are one byte each.
        QVERIFY(log.find("/2 beskadiget \xE6\xF8.doc, ") != std::string::npos);

        const std::string errors = h.form.Text2().text();
        QVERIFY(errors.find(", Err: " + (folder / "2 beskadiget æø.doc").string() + "\r\n") !=
                std::string::npos);
        QVERIFY(errors.ends_with("2 fil(er) er editeret!\r\n"));
        QVERIFY(h.form.Text2().isShown());
        QVERIFY(h.form.StatusPanel1().text().starts_with("Udført! "));

        QVERIFY(testing::processesMentioning(privateFolder.string()).empty());
        QCOMPARE(testing::folderDigest(userProfile), profileBefore);
        for (const auto& entry : fs::directory_iterator(folder))
            QVERIFY2(!entry.path().filename().string().starts_with(".~"), entry.path().c_str());
        harness.reset();
        office.reset();
        QVERIFY(fs::is_empty(privateFolder));
    }
};

QTEST_MAIN(WindowOfficeTest)
#include "window_office_test.moc"
