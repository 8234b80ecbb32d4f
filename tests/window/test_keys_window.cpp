// Where the window's keys go by the focus, from the session's key table:
// the function keys act from a slider's figure entry, which keeps its typing.
#include "host/shell/power_loop.h"
#include "host/shell/program_state.h"
#include "window/TfrmMain.h"
#include "window/instrument_panel.h"

#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class KeysWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir settingsDir;

  private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    }
    void init() {
        reset_program_state();
        frm = new TfrmMain;
        frm->show();
        QVERIFY(QTest::qWaitForWindowExposed(frm));
        frm->Timer1->stop();
    }
    void cleanup() {
        power_off_request = 1;
        delete frm;
        frm = nullptr;
    }
    void functionKeysActFromAFigureEntry_data();
    void functionKeysActFromAFigureEntry();

  private:
    TfrmMain *frm = nullptr;
};

void KeysWindowTest::functionKeysActFromAFigureEntry_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("typed");
    QTest::newRow("F1") << int(Qt::Key_F1) << "key F1\n" << "";
    QTest::newRow("F2") << int(Qt::Key_F2) << "key F2\n" << "";
    QTest::newRow("a digit types") << int(Qt::Key_2) << "" << "2";
    QTest::newRow("+ types") << int(Qt::Key_Plus) << "" << "+";
    QTest::newRow("O types") << int(Qt::Key_O) << "" << "o";
}

void KeysWindowTest::functionKeysActFromAFigureEntry() {
    QFETCH(int, key);
    QFETCH(QString, line);
    QFETCH(QString, typed);
    QLineEdit *entry = frm->Controls->RpmFigure.Entry;
    entry->setFocus();
    const std::string before = frm->simulation().recording();
    QTest::keyClick(entry, (Qt::Key)key);
    QCOMPARE(QString::fromStdString(frm->simulation().recording().substr(before.size())), line);
    QCOMPARE(entry->text(), typed);
}

QTEST_MAIN(KeysWindowTest)
#include "test_keys_window.moc"
