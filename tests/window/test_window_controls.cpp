// The window's controls: what its keys, clicks, wheel, sliders, entries and
// menus forward to the session, their names, and the window's zoom and
// what it remembers.
#include "window_test.h"

// Each control hands its input to the session, which records it, and the
// controls show the session's panel back.
void WindowTest::controlsForwardTheirInput() {
    int32_t entered = 0;
    std::string message;
    QVERIFY(enter_slider_figure(SLIDER_MAP, "1013 mB", false, entered, message));
    const struct {
        const char *control;
        std::function<void()> use;
        std::string line;
        int key; // what reaches the instrument's slot
    } rows[] = {
        {"Image2", [&] { QTest::mouseClick(ui->Image2, Qt::LeftButton); }, "key F1", KEY_F1},
        {"Image3", [&] { QTest::mouseClick(ui->Image3, Qt::LeftButton); }, "key F2", KEY_F2},
        {"Image8", [&] { QTest::mouseClick(ui->Image8, Qt::LeftButton); }, "key PUSH", KEY_PUSH},
        {"Button3", [&] { QTest::mouseClick(ui->Button3, Qt::LeftButton); }, "key PLUS", KEY_PLUS},
        {"Button4", [&] { QTest::mouseClick(ui->Button4, Qt::LeftButton); }, "key MINUS",
         KEY_MINUS},
        {"ScrollBar29", [&] { ui->ScrollBar29->setValue(30000); }, "rpm 30000", 0},
        {"ScrollBar1", [&] { ui->ScrollBar1->setValue(2674); }, "temp 2674", 0},
        {"CheckBox1", [&] { QTest::mouseClick(ui->CheckBox1, Qt::LeftButton); }, "exio on", 0},
        {"Run Engine Timers", [&] { frm->Menus->RunEngineTimers1->trigger(); }, "engine-timers on",
         0},
        {"MAP entry", [&] { typeEntry(ui->MapFigure.Entry, "1013 mB"); },
         "map " + std::to_string(entered), 0},
    };
    for (const auto &row : rows) {
        pending_key = 0;
        row.use();
        QVERIFY2(endsWith(recording(), "\n" + row.line + "\n"), row.control);
        QVERIFY2(pending_key == row.key, row.control);
    }
    QCOMPARE(ui->Label60->text(), QString::number(entered));
    QCOMPARE(ui->Label57->text(), QString("30000"));
    QCOMPARE(ui->Label2->text(), QString("2674"));
    QVERIFY(ui->CheckBox1->isChecked());
    QVERIFY(frm->Menus->RunEngineTimers1->isChecked());
    QCOMPARE(engine_timers_on, 1);
    // Off, the figures are those of the factory settings the next power-on loads.
    QCOMPARE(ui->RpmFigure.Figure->text(), QString("5000 rpm"));
    QCOMPARE(ui->ScrollBar29->accessibleDescription(),
             QString::fromStdString(frm->simulation().slider_text(SLIDER_RPM)));
}

void WindowTest::keysFollowTheBindingsAndTheFocus_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("line");        // recorded with a button focused
    QTest::addColumn<QString>("onTheSlider"); // recorded with the MAP slider focused
    const QString none;
    const auto row = [](const char *name, int key, int modifiers, const QString &line,
                        const QString &onTheSlider) {
        QTest::newRow(name) << key << modifiers << line << onTheSlider;
    };
    row("F1", Qt::Key_F1, 0, "key F1", "key F1");
    row("F2", Qt::Key_F2, 0, "key F2", "key F2");
    row("Return", Qt::Key_Return, 0, "key PUSH", "key PUSH");
    row("Enter", Qt::Key_Enter, Qt::KeypadModifier, "key PUSH", "key PUSH");
    row("Space", Qt::Key_Space, 0, "key PUSH", "key PUSH");
    row("+", Qt::Key_Plus, Qt::ShiftModifier, "key PLUS", "map 101");
    row("keypad +", Qt::Key_Plus, Qt::KeypadModifier, "key PLUS", "map 101");
    row("Up", Qt::Key_Up, 0, "key PLUS", "map 99");
    row("-", Qt::Key_Minus, 0, "key MINUS", "map 99");
    row("keypad -", Qt::Key_Minus, Qt::KeypadModifier, "key MINUS", "map 99");
    row("Down", Qt::Key_Down, 0, "key MINUS", "map 101");
    row("X", Qt::Key_X, 0, "exio on", "exio on");
    row("I", Qt::Key_I, 0, "on", "on");
    row("O", Qt::Key_O, 0, "off", "off");
    row("Page Up on the slider", Qt::Key_PageUp, 0, none,
        "map " + QString::number(slider_page_position(SLIDER_MAP, 100, 1, false)));
    row("Alt+O presses neither button", Qt::Key_O, Qt::AltModifier, none, none);
    row("Ctrl+Up is the slider's own only", Qt::Key_Up, Qt::ControlModifier, none, "map 99");
    row("A is no binding", Qt::Key_A, 0, none, none);
}

// Space and Return on a focused button push the knob, not the button; a
// focused slider keeps Up and Down and takes + and - as its own step.
void WindowTest::keysFollowTheBindingsAndTheFocus() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, line);
    QFETCH(QString, onTheSlider);
    ui->ScrollBar30->setValue(100);
    for (const auto &[focus, expected] :
         {std::pair<QWidget *, QString>{ui->Button1, line},
          std::pair<QWidget *, QString>{ui->ScrollBar30, onTheSlider}}) {
        frm->simulation().power_off();
        frm->simulation().set_exio(false);
        ui->ScrollBar30->setValue(100);
        focus->setFocus();
        const std::string before = recording();
        QTest::keyClick(focus, (Qt::Key)key, (Qt::KeyboardModifiers)modifiers);
        const std::string after = recording();
        QCOMPARE(QString::fromStdString(after.substr(before.size())),
                 expected.isEmpty() ? QString() : expected + "\n");
    }
}

void WindowTest::wheelOverTheBezelTurnsTheKnob() {
    auto turn = [this](QWidget *over, int delta) {
        const QPointF at(over->width() / 2, over->height() / 2);
        QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &wheel);
        const uint8_t key = pending_key;
        pending_key = 0;
        return (int)key;
    };
    QCOMPARE(turn(ui->Image1, 120), KEY_PLUS);
    QCOMPARE(turn(ui->Image8, -120), KEY_MINUS);
    QCOMPARE(turn(ui->Panel1, 120), KEY_PLUS);
    // Half notches add up; the second half turns the knob.
    QCOMPARE(turn(ui->Image1, -60), 0);
    QCOMPARE(turn(ui->Image1, -60), KEY_MINUS);
    // A click of the wheel over the bezel pushes the knob.
    QTest::mouseClick(ui->Image1, Qt::MiddleButton);
    QCOMPARE(pending_key, KEY_PUSH);
    pending_key = 0;
    QTest::mouseClick(ui->ScrollBar30, Qt::MiddleButton);
    QCOMPARE(pending_key, 0);
    // Away from the bezel the wheel is the slider's.
    ui->ScrollBar30->setValue(100);
    QCOMPARE(turn(ui->ScrollBar30, 120), 0);
    QVERIFY(ui->ScrollBar30->value() != 100);
}

// Help > Keyboard and mouse: the session's bindings of the window, plain.
void WindowTest::helpListsTheWindowsBindings() {
    frm->Menus->KeyboardAndMouse1->trigger();
    QVERIFY(frm->HelpBox1->isVisible());
    QCOMPARE(frm->HelpBox1->textFormat(), Qt::PlainText);
    const QString help = frm->HelpBox1->text();
    QVERIFY(help.startsWith(QString::fromStdString(bindings_help(IN_WINDOW))));
    QVERIFY(help.contains("Ctrl+Q: power off and quit"));
    QVERIFY(help.contains("one-key slot"));
    frm->HelpBox1->close();
}

// What a screen reader calls the controls that show the session.
void WindowTest::controlsCarryTheirNames() {
    QStringList names = {"LCD",
                         "Figure entry message",
                         "Scenario note",
                         "Scenario notes so far",
                         "Playback speed",
                         "Timeline",
                         "Alarm lamp: alarm"};
    for (const char *slider : {"MAP", "RPM", "TEMP"})
        for (const char *part : {" position", " figure", " figure entry"})
            names << QString(slider) + part;
    for (const QString &name : names) {
        int found = 0;
        for (const QWidget *widget : frm->findChildren<QWidget *>())
            found += widget->accessibleName() == name;
        QVERIFY2(found == 1, qPrintable(name));
    }
}

// Ctrl+Q reaches File > Exit past the window's key bindings.
void WindowTest::controlQQuits() {
    QObject::disconnect(frm->Menus->Exit1, &QAction::triggered, frm, nullptr);
    QSignalSpy exits(frm->Menus->Exit1, &QAction::triggered);
    frm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frm));
    QTest::keyClick(frm, Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(exits.count(), 1);
}

// Where the screen has room below and right of the first window, the second
// opens a step down and right; where it has none (a large scale factor), on it.
void WindowTest::secondWindowOpensOffset() {
    const QRect available = frm->screen()->availableGeometry();
    const QRect first = frm->frameGeometry();
    const bool room =
        first.right() + 32 <= available.right() && first.bottom() + 32 <= available.bottom();
    TfrmMain second;
    QCOMPARE(second.pos() - frm->pos(), room ? QPoint(32, 32) : QPoint(0, 0));
}

// An entry's figure goes to the session and its message shows beside it;
// I, O and Return in an entry are typing, Page Up and Page Down a step.
void WindowTest::typedFiguresAndPageKeysMoveTheSliders() {
    typeEntry(ui->RpmFigure.Entry, "2400");
    QCOMPARE(ui->RpmFigure.Figure->text(), QString("2400 rpm"));
    QCOMPARE(ui->RpmFigure.Unit->text(), QString("rpm"));
    QCOMPARE(ui->EntryMessage->text(), QString());
    QTest::keyClick(ui->RpmFigure.Entry, Qt::Key_PageUp);
    QCOMPARE(ui->RpmFigure.Figure->text(), QString("2500 rpm"));
    ui->ScrollBar29->setFocus();
    QTest::keyClick(ui->ScrollBar29, Qt::Key_PageDown);
    QTest::keyClick(ui->ScrollBar29, Qt::Key_PageDown);
    QCOMPARE(ui->RpmFigure.Figure->text(), QString("2300 rpm"));
    typeEntry(ui->RpmFigure.Entry, "30000 raw");
    QCOMPARE(ui->ScrollBar29->value(), 30000);
    typeEntry(ui->RpmFigure.Entry, "16667");
    QCOMPARE(ui->ScrollBar29->value(), 30000);
    QCOMPARE(ui->EntryMessage->text(),
             "RPM: " + QString::fromStdString(frm->simulation().entry_message()));
    QVERIFY(ui->EntryMessage->text().contains("out of reach"));
    QCOMPARE(ui->EntryMessage->textFormat(), Qt::PlainText);
    typeEntry(ui->TempFigure.Entry, "io");
    QVERIFY(ui->EntryMessage->text().startsWith("TEMP: "));
    QVERIFY(recording().find("\non\n") == std::string::npos);
    QVERIFY(recording().find("\noff\n") == std::string::npos);
}

void WindowTest::zoomAndWhatIsRememberedSurviveARestart() {
    QCOMPARE(frm->zoom(), 1);
    const QSize atOne = frm->size();
    frm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frm));
    QTest::keyClick(frm, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(frm, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(frm->zoom(), 3);
    QTest::keyClick(frm, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(frm->zoom(), 2);
    QCOMPARE(ui->Panel1->size(), QSize(161, 121) * 2);

    QTemporaryDir dir;
    const QString script = dir.filePath("cruise & climb.txt");
    writeFile(script, "on\nhold 1\n");
    frm->PlayScenario1Click();
    emit frm->PlayDialog1->fileSelected(script);
    frm->PlayDialog1->close();
    frm->move(40, 30);
    QTRY_COMPARE(frm->pos(), QPoint(40, 30));
    frm->close();
    delete frm;

    reset_program_state();
    frm = new TfrmMain;
    ui = frm->Controls;
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    QCOMPARE(frm->zoom(), 2);
    QCOMPARE(ui->Panel1->size(), QSize(161, 121) * 2);
    // Where it was left, when it fits there (not at a large scale factor).
    const QRect available = frm->screen()->availableGeometry();
    QCOMPARE(frm->pos(), available.contains(QRect(QPoint(40, 30), frm->size()))
                             ? QPoint(40, 30)
                             : available.topLeft());
    frm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frm));
    const QList<QAction *> recent = frm->Menus->RecentScenarios1->actions();
    QCOMPARE(recent.size(), 1);
    QVERIFY(recent[0]->text().startsWith("cruise && climb.txt \u2014 "));
    frm->PlayScenario1Click();
    QCOMPARE(frm->PlayDialog1->directory().absolutePath(), QDir(dir.path()).absolutePath());
    frm->PlayDialog1->close();
    // The instrument itself starts with its memory empty.
    QCOMPARE(map_filter_acc, 0u);
    QTest::keyClick(frm, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(frm->zoom(), 1);
    QCOMPARE(frm->size(), atOne);
}

// Zoomed while off, the LCD shows its last frame whole at every zoom; the
// readouts keep their whole figures; the parts Qt sizes itself grow too;
// a window grown past the screen's edge comes back.
void WindowTest::everyZoomScalesThePartsAndRedrawsTheLcd() {
    ui->ScrollBar29->setValue(30002);
    QVERIFY(showScreen(pattern_screen));
    const int indicator =
        ui->CheckBox1->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, ui->CheckBox1);
    const QRect available = frm->screen()->availableGeometry();
    for (int factor : {2, 3, 4, 1}) {
        frm->move(available.center());
        frm->setZoom(factor);
        QCOMPARE(ui->Label57->text(), QString("30002"));
        QVERIFY(ui->Label57->width() >= ui->Label57->sizeHint().width());
        QCOMPARE(frm->menuBar()->font().pixelSize(), 11 * factor);
        QCOMPARE(
            ui->CheckBox1->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, ui->CheckBox1),
            indicator * factor);
        QTRY_VERIFY(available.contains(frm->frameGeometry()) ||
                    frm->frameGeometry().topLeft() == available.topLeft());
        // A grab sees only the part of the panel on the screen.
        if (!frm->screen()->geometry().contains(
                QRect(ui->Panel1->mapToGlobal(QPoint(0, 0)), ui->Panel1->size())))
            continue;
        QString mismatch;
        QTRY_VERIFY2((mismatch = panelMismatch(grabPanel(), pattern_index)).isEmpty(),
                     qPrintable(QString("zoom %1: %2").arg(factor).arg(mismatch)));
    }
}
