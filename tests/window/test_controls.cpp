// The controls a pilot uses beside the sliders, the zoom and what the window
// remembers, and what a screen reader is told.
#include "core/keys.h"
#include "core/sensors.h"
#include "host/power_loop.h"
#include "host/program_state.h"
#include "window/TfrmMain.h"
#include "window/panel_widgets.h"
#include "window/preferences.h"
#include "window/slider_figure.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

void type(QLineEdit *entry, const QString &text) {
    entry->setFocus();
    entry->clear();
    QTest::keyClicks(entry, text);
    QTest::keyClick(entry, Qt::Key_Return);
}

} // namespace

class ControlsTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void figuresBesideTheSliders();
    void typedFiguresMoveTheSlidersOrAreRefused();
    void pageKeysMoveAnEngineStep();
    void zoomAndWhatIsRememberedSurviveARestart();
    void lcdIsDescribedOnChangeNotPerFrame();

  private:
    // Switches the instrument on and runs the steps one after another
    // between passes, each polled until it returns true; then Off.
    bool whileOn(const QList<std::function<bool()>> &steps);
    TfrmMain *frm = nullptr;
};

void ControlsTest::init() {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Omnira", "Omnira").clear();
    reset_program_state();
    frm = new TfrmMain;
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
}

void ControlsTest::cleanup() {
    delete frm;
    frm = nullptr;
}

bool ControlsTest::whileOn(const QList<std::function<bool()>> &steps) {
    int next = 0;
    QTimer poll;
    poll.setInterval(0);
    connect(&poll, &QTimer::timeout, [&] {
        if (next < steps.size() && steps[next]()) next++;
        if (next == steps.size()) frm->Button2->click();
    });
    // A safety net only: the steps wait on the instrument, not on time.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [&] { frm->Button2->click(); });
    poll.start();
    guard.start(20000);
    frm->Button1->click();
    return next == steps.size();
}

// Off, the figures are those of the factory settings the next power-on loads.
void ControlsTest::figuresBesideTheSliders() {
    const struct {
        QScrollBar *slider;
        SliderFigure *figure;
        int position;
        const char *shown, *unit;
    } cases[] = {
        {frm->ScrollBar29, frm->RpmFigure, 30000, "5000 rpm", "rpm"},
        {frm->ScrollBar30, frm->MapFigure, 1522, "30.0 inHg", "inHg"},
        {frm->ScrollBar1, frm->TempFigure, 2674, "50 C", "C"},
        {frm->ScrollBar1, frm->TempFigure, 3801, "---", "C"},
    };
    for (const auto &c : cases) {
        c.slider->setValue(c.position);
        QCOMPARE(c.figure->Figure->text(), QString(c.shown));
        QCOMPARE(c.figure->Unit->text(), QString(c.unit));
        QVERIFY(c.figure->Figure->width() >= c.figure->Figure->sizeHint().width());
        QVERIFY(!c.figure->Figure->accessibleName().isEmpty());
    }
}

void ControlsTest::typedFiguresMoveTheSlidersOrAreRefused() {
    type(frm->RpmFigure->Entry, "2400");
    QCOMPARE(frm->RpmFigure->Figure->text(), QString("2400 rpm"));
    QCOMPARE(frm->EntryMessage->text(), QString());
    // I, O and Return are typing, not the instrument's keys.
    type(frm->RpmFigure->Entry, "30000 raw");
    QCOMPARE(frm->ScrollBar29->value(), 30000);
    QVERIFY(!frm->scenarioPlaying());

    type(frm->RpmFigure->Entry, "16667");
    QCOMPARE(frm->ScrollBar29->value(), 30000);
    QCOMPARE(frm->EntryMessage->text(),
             QString("RPM: 16667 rpm is out of reach: the slider gives 0 rpm to 16666 rpm"));
    QCOMPARE(frm->EntryMessage->textFormat(), Qt::PlainText);

    type(frm->MapFigure->Entry, "1013 mB");
    QCOMPARE(frm->MapFigure->Figure->text(), QString("29.9 inHg"));
    type(frm->TempFigure->Entry, "30.5");
    QCOMPARE(frm->EntryMessage->text(), QString("TEMP: not a figure in C: 30.5"));
}

void ControlsTest::pageKeysMoveAnEngineStep() {
    type(frm->RpmFigure->Entry, "2400");
    frm->ScrollBar29->setFocus();
    QTest::keyClick(frm->ScrollBar29, Qt::Key_PageUp);
    QCOMPARE(frm->RpmFigure->Figure->text(), QString("2500 rpm"));
    frm->RpmFigure->Entry->setFocus();
    QTest::keyClick(frm->RpmFigure->Entry, Qt::Key_PageDown);
    QTest::keyClick(frm->RpmFigure->Entry, Qt::Key_PageDown);
    QCOMPARE(frm->RpmFigure->Figure->text(), QString("2300 rpm"));
    type(frm->TempFigure->Entry, "50");
    QTest::keyClick(frm->TempFigure->Entry, Qt::Key_PageUp);
    QCOMPARE(frm->TempFigure->Figure->text(), QString("55 C"));
    QVERIFY(TfrmMain::bindingsText().contains("Page Up, Page Down on a slider or its entry"));
}

void ControlsTest::zoomAndWhatIsRememberedSurviveARestart() {
    QCOMPARE(frm->zoom(), 1);
    const QSize atOne = frm->size();
    frm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frm));
    QTest::keyClick(frm, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(frm, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(frm->zoom(), 3);
    QVERIFY(frm->Zoom1[2]->isChecked());
    QTest::keyClick(frm, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(frm->zoom(), 2);
    QCOMPARE(frm->Panel1->size(), QSize(161, 121) * 2);
    QCOMPARE(frm->centralWidget()->size(), QSize(503, 446) * 2);

    QTemporaryDir dir;
    const QString script = dir.filePath("cruise & climb.txt");
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("on\nhold 1\n");
    file.close();
    frm->PlayScenario1Click();
    emit frm->PlayDialog1->fileSelected(script);
    frm->PlayDialog1->close();
    QVERIFY(frm->scenarioPlaying() || frm->scenarioChecking());
    frm->move(40, 30);
    QTRY_COMPARE(frm->pos(), QPoint(40, 30));
    frm->close();
    delete frm;

    reset_program_state();
    frm = new TfrmMain;
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    QCOMPARE(frm->zoom(), 2);
    QCOMPARE(frm->Panel1->size(), QSize(161, 121) * 2);
    QCOMPARE(frm->pos(), QPoint(40, 30));
    frm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frm));
    const QList<QAction *> recent = frm->RecentScenarios1->actions();
    QCOMPARE(recent.size(), 1);
    QCOMPARE(recent[0]->text(), QString("cruise && climb.txt"));
    frm->PlayScenario1Click();
    QCOMPARE(frm->PlayDialog1->directory().absolutePath(), QDir(dir.path()).absolutePath());
    frm->PlayDialog1->close();
    // The instrument itself starts with its memory empty.
    QCOMPARE(map_filter_acc, 0u);
    QTest::keyClick(frm, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(frm->zoom(), 1);
    QCOMPARE(frm->size(), atOne);
}

// The description changes in substance with a new screen, not with the
// figures of each frame; the lamp's name says its state.
void ControlsTest::lcdIsDescribedOnChangeNotPerFrame() {
    QCOMPARE(frm->Panel1->accessibleName(), QString("LCD"));
    QStringList described;
    auto description = [this] { return frm->Panel1->accessibleDescription(); };
    // Every description given, noted at each step between passes.
    auto noting = [&](std::function<bool()> step) {
        return [&described, description, step] {
            if (described.isEmpty() || described.last() != description())
                described << description();
            return step();
        };
    };
    int position = 1000;
    qsizetype beforeLive = -1, afterLive = -2;
    QString lamp;
    bool lit = false;
    const bool done = whileOn({
        noting([&] { return description().startsWith("Engine page"); }),
        noting([&] {
            lamp = frm->Shape1->accessibleName();
            lit = frm->Shape1->isLit();
            return true;
        }),
        // Live figures over many frames.
        noting([&] {
            if (position == 1000) beforeLive = described.size();
            frm->ScrollBar29->setValue(position += 1000);
            return position >= 30000;
        }),
        noting([&] {
            afterLive = described.size();
            return true;
        }),
        // F2 acknowledges the cold engine's alarms, then the knob opens the menu.
        noting([&] {
            frm->Image3->clicked();
            return true;
        }),
        noting([&] { return pending_key == 0; }),
        noting([&] {
            frm->Image8->clicked();
            return true;
        }),
        noting([&] { return description().startsWith("Main menu"); }),
    });
    QVERIFY(done);
    QCOMPARE(afterLive, beforeLive);
    QVERIFY(described[0].startsWith("Engine page. RPM 0 rpm. MAP 0.0 inHg. TEMP -273 C"));
    QVERIFY(described[0].contains("Alarm: MAP, TEMP"));
    QVERIFY(described.last().contains("Alarm acknowledged: MAP, TEMP"));
    for (qsizetype i = 1; i < described.size(); i++)
        QVERIFY(!described[i].startsWith("Engine page. RPM 2"));
    QCOMPARE(lamp, QString("Alarm lamp: alarm"));
    QVERIFY(lit);
    // What a screen reader gets through the accessibility interfaces.
    QAccessibleInterface *lcd = QAccessible::queryAccessibleInterface(frm->Panel1);
    QCOMPARE(lcd->text(QAccessible::Name), QString("LCD"));
    QVERIFY(
        lcd->text(QAccessible::Description).startsWith("Main menu. Qirel MAIN MENU. MAP. SETUP"));
    QCOMPARE(QAccessible::queryAccessibleInterface(frm->Shape1)->text(QAccessible::Name),
             frm->Shape1->accessibleName());
    QCOMPARE(QAccessible::queryAccessibleInterface(frm->RpmFigure->Figure)->text(QAccessible::Name),
             QString("RPM figure"));
}

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    ControlsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_controls.moc"
