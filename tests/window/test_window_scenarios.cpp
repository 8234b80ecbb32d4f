// Scenarios in the window: lcdshot's frames from the menus and the transport,
// the check of a long script, the clock under a late timer, and the texts a
// script shows (plain, printable, by lcdshot's rules).
#include "window_test.h"

// A scenario plays a tick per 100 ms of the window's clock, its frames on
// the screen those of lcdshot, the controls following it.
void WindowTest::scenarioPlaysLcdshotsFrames() {
    const std::string text = "# Warm-up\nnote Starting\nrpm 2400 rpm\nmap 30.0 inHg\n"
                             "temp 15 C\non\nhold 1\nnote Warming\nramp temp 60 C 0.5\n"
                             "key PLUS\nhold 0.3\nexio on\nexpect screen run\n";
    const std::vector<std::vector<uint8_t>> expected = lcdshot_tick_frames(text);
    reset_program_state();
    fakeClock();
    play(text, "Warm-up");
    QVERIFY(frm->simulation().playing());
    QCOMPARE(ui->NoteLabel->text(), QString("Starting"));
    QVERIFY(frm->Menus->StopScenario1->isEnabled());
    int timeouts = 0;
    for (; frm->simulation().playing() && timeouts < 100; timeouts++) {
        QVERIFY2(shown() == expected[(size_t)frm->Playback->Timeline1->position()],
                 qPrintable(QString::number(timeouts)));
        // The controls follow the script without firing their handlers,
        // which would take over from it.
        QCOMPARE(ui->ScrollBar1->value(), frm->simulation().panel().temp_position);
        QCOMPARE(ui->Label2->text(), QString::number(frm->simulation().panel().temp_position));
        tick();
    }
    QCOMPARE(timeouts, 18); // hold 1, ramp 0.5 and hold 0.3: a tick each
    QVERIFY(shown() == expected.back());
    QCOMPARE(ui->StatusBar1->currentMessage(), QString::fromStdString(frm->simulation().status()));
    QVERIFY(ui->CheckBox1->isChecked());
    QVERIFY(!frm->Menus->StopScenario1->isEnabled());
    frm->simulation().power_off();
}

// A timeout of Timer1 that comes late hands the session all the time that
// passed: 250 ms are two ticks.
void WindowTest::lateTimeoutGivesEveryTickDue() {
    fakeClock();
    QTest::mouseClick(ui->Image2, Qt::LeftButton);
    tick(250);
    QVERIFY(endsWith(recording(), "key F1\ntick 2\n"));
    tick(50);
    QVERIFY(endsWith(recording(), "key F1\ntick 3\n"));
}

// A script's bytes reach the session as they are in the file: a Latin-1
// note, and a line that would pass the line limit as UTF-8, play as in
// lcdshot; the note shows escaped.
void WindowTest::latin1ScriptPlaysAsInLcdshot() {
    QTemporaryDir dir;
    const std::string wide(1400, '\xE9');
    const std::string text =
        "# Caf\xE9\nnote Caf\xE9 " + wide + "\non\nhold 0.5\nkey F2\nhold 0.2\n";
    writeFile(dir.filePath("latin1.txt"), text);
    const std::vector<std::vector<uint8_t>> expected = lcdshot_tick_frames(text);
    QVERIFY(!expected.empty());
    reset_program_state();
    fakeClock();
    QVERIFY(frm->openScriptFile(dir.filePath("latin1.txt")));
    QVERIFY(frm->simulation().playing());
    while (frm->simulation().playing()) tick();
    QVERIFY(shown() == expected.back());
    QCOMPARE(ui->NoteLabel->text(), QString::fromStdString(printable("Caf\xE9 " + wide)));
    QVERIFY(ui->StatusBar1->currentMessage().startsWith("Caf\\xE9: ended"));
    frm->simulation().power_off();
}

// The session's alerts show in a box of their own, as plain text.
void WindowTest::alertsShowAsPlainText() {
    frm->Timer1->stop();
    play("on\nhold 1\nrpm 99999 rpm\n", "<b>Bad</b>");
    QVERIFY(!frm->simulation().playing());
    QCOMPARE(fast_tick, 0);
    QMessageBox *box = openMessage(frm, "line 3: 99999 rpm is out of reach");
    QVERIFY(box);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QVERIFY(box->text().contains("\"<b>Bad</b>\""));
    QVERIFY(!frm->openScriptFile(QDir::tempPath() + "/missing-omnira.txt"));
    QVERIFY(openMessage(frm, "it is missing, not a file or unreadable"));
}

// A golden is read by lcdshot's rule: from the scenario's folder or below
// it, and a link that leads out of the folder is refused.
void WindowTest::goldenThroughALinkOutOfTheFolderIsRefused() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("scenario") && QDir(dir.path()).mkpath("elsewhere"));
    reset_program_state();
    QVERIFY(write_lcd_indexed_png(dir.filePath("elsewhere/frame.png").toStdString(), frame_buffer));
    QVERIFY(write_lcd_indexed_png(dir.filePath("scenario/inside.png").toStdString(), frame_buffer));
    QVERIFY(QFile::link("../elsewhere/frame.png", dir.filePath("scenario/link.png")));
    writeFile(dir.filePath("scenario/inside.txt"), "expect golden inside.png\nhold 1\n");
    writeFile(dir.filePath("scenario/link.txt"), "expect golden link.png\nhold 1\n");
    frm->Timer1->stop();
    QVERIFY(frm->openScriptFile(dir.filePath("scenario/inside.txt")));
    QVERIFY(frm->simulation().playing());
    QVERIFY(!frm->openScriptFile(dir.filePath("scenario/link.txt")));
    QVERIFY(openMessage(frm, "golden link.png is outside the goldens' folder"));
}

// A title with a bidirectional override shows escaped, in the status line
// and in Recent Scenarios, which tells two files of one name apart.
void WindowTest::bidiTitleShowsEscaped() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("a") && QDir(dir.path()).mkpath("b"));
    const QString name = QString("run") + QChar(0x202E) + "txt.exe.txt";
    writeFile(dir.filePath("a/" + name), "# Evil \xE2\x80\xAEtxt.exe\nhold 1\n");
    writeFile(dir.filePath("b/" + name), "hold 1\n");
    frm->Timer1->stop();
    QVERIFY(frm->openScriptFile(dir.filePath("b/" + name)));
    QVERIFY(frm->openScriptFile(dir.filePath("a/" + name)));
    const QString status = ui->StatusBar1->currentMessage();
    QVERIFY2(status.startsWith("Evil \\u{202E}txt.exe: playing"), qPrintable(status));
    const QList<QAction *> recent = frm->Menus->RecentScenarios1->actions();
    QCOMPARE(recent.size(), 2);
    const QString escaped = "run\\u{202E}txt.exe.txt \u2014 ";
    QCOMPARE(recent[0]->text(), escaped + QDir(dir.filePath("a")).absolutePath());
    QCOMPARE(recent[1]->text(), escaped + QDir(dir.filePath("b")).absolutePath());
    for (QAction *entry : recent) QVERIFY(!entry->text().contains(QChar(0x202E)));
}

// The library from the window's resources: the menu lists its titles in
// the course's order, and a scenario plays with the goldens it checks to
// lcdshot's frame.
void WindowTest::libraryPlaysFromTheMenuWithItsGoldens() {
    const script_library &library = frm->simulation().library(LIBRARY_SCENARIOS);
    QStringList files,
        course = QString::fromStdString(fileText(SCENARIO_DIR "/course.list")).split('\n');
    course.removeIf([](const QString &line) { return line.isEmpty() || line.startsWith('#'); });
    for (const library_entry &entry : library.entries())
        files << QString::fromStdString(entry.name) + ".txt";
    QCOMPARE(files, course);
    const QList<QAction *> menu = frm->Menus->Scenarios1->actions();
    QCOMPARE((size_t)menu.size(), library.entries().size());
    const int runUp = library.find("run_up");
    QVERIFY(runUp >= 0);
    QCOMPARE(menu[runUp]->text(), QString("Run-up and magneto check"));
    const std::vector<std::vector<uint8_t>> expected =
        lcdshot_tick_frames(fileText(SCENARIO_DIR "/run_up.txt"));
    reset_program_state();
    fakeClock();
    menu[runUp]->trigger();
    QVERIFY(frm->simulation().playing());
    while (frm->simulation().playing()) tick(5000);
    QVERIFY(!openMessage(frm, "stopped"));
    QVERIFY(shown() == expected.back());
    frm->simulation().power_off();
}

// A long script is checked in slices between frames: the window keeps
// running passes, shows the progress after a second of its clock, and
// Cancel drops the script.
void WindowTest::longScenarioIsCheckedWhileTheWindowRuns() {
    QProgressDialog *progress = nullptr;
    int passesAtStart = 0;
    bool done = runWhileOn(
        {action([] { current_screen = counting_screen; }), after_passes(2), action([&] {
             // Each look at the clock is a tick later.
             frm->setClock([this] { return now += session::TICK_MS; });
             play("on\nhold 14000\n", "Long");
             QVERIFY(frm->simulation().checking());
             passesAtStart = passes_seen;
         }),
         [&] {
             progress = frm->CheckProgress1;
             return progress && progress->isVisible() && progress->value() > 0 &&
                    passes_seen > passesAtStart + 2;
         },
         action([&] {
             QCOMPARE(progress->labelText(), QString("Checking the scenario \"Long\"..."));
             QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
             QVERIFY(!frm->simulation().checking());
             QVERIFY(!frm->simulation().playing());
         }),
         action([&] { QTest::keyClick(frm, Qt::Key_O); })});
    QVERIFY(done);
    QVERIFY(frm->CheckProgress1 == nullptr);
}

// The transport and the timeline forward to the session's player, and the
// frames on the screen are lcdshot's at each tick.
void WindowTest::transportSeeksAndSpeedsToLcdshotsFrames() {
    const std::string text =
        "rpm 30000\nmap 1522\ntemp 2674\non\nnote Warm\nhold 20\n"
        "ramp rpm 2400 rpm 10\nkey F2\nnote Check\nhold 20\nmap 4000\nhold 5\n";
    const std::vector<std::vector<uint8_t>> expected = lcdshot_tick_frames(text);
    QCOMPARE(expected.size(), size_t(551));
    reset_program_state();
    fakeClock();
    play(text, "Transport");
    PlaybackStrip &strip = *frm->Playback;
    QCOMPARE(strip.Timeline1->length(), 550);
    // A seek stops a recording, which cannot take it back: the file closes.
    QTemporaryDir dir;
    QVERIFY(frm->startRecording(dir.filePath("session.txt")));
    for (long long tick : {420LL, 3LL, 301LL, 550LL, 299LL}) {
        strip.Timeline1Seek(tick);
        QCOMPARE(strip.Timeline1->position(), tick);
        QVERIFY2(shown() == expected[tick], qPrintable(QString::number(tick)));
    }
    QVERIFY(!frm->Menus->RecordSession1->isChecked());
    const std::string recorded = fileText(dir.filePath("session.txt"));
    QVERIFY(!recorded.empty());
    QVERIFY(strip.Timeline1->accessibleDescription().startsWith("0:29 of 0:55; note: Warm"));
    // Seeking to the end paused it there; P resumes and pauses.
    QCOMPARE(strip.PlayPause1->text(), QString("Resume"));
    QVERIFY(strip.Step1->isEnabled());
    QTest::keyClick(frm, Qt::Key_P);
    QCOMPARE(strip.PlayPause1->text(), QString("Pause"));
    QVERIFY(!strip.Step1->isEnabled());
    QTest::mouseClick(strip.PlayPause1, Qt::LeftButton);
    QTest::keyClick(frm, Qt::Key_N);
    QCOMPARE(strip.Timeline1->position(), 300);
    QVERIFY(shown() == expected[300]);
    strip.Timeline1->setFocus();
    QTest::keyClick(strip.Timeline1, Qt::Key_Right);
    QCOMPARE(strip.Timeline1->position(), 310);
    QVERIFY(shown() == expected[310]);
    QTest::mouseClick(strip.Timeline1, Qt::LeftButton, {},
                      QPoint(strip.Timeline1->width() / 2, strip.Timeline1->height() / 2));
    QVERIFY(qAbs(strip.Timeline1->position() - 275) <= 2);
    QVERIFY(shown() == expected[strip.Timeline1->position()]);
    QVERIFY(frm->simulation().playing()); // none of these took over

    // From the start at x16: 16 ticks a timeout, lcdshot's frames.
    QTest::keyClick(frm, Qt::Key_R);
    for (int i = 0; i < 4; i++) QTest::keyClick(frm, Qt::Key_BracketRight);
    QCOMPARE(strip.Speed1->currentText(), QString("x16"));
    strip.Speed1->setCurrentIndex(3);
    QCOMPARE(frm->simulation().speed(), 8);
    strip.Speed1->setCurrentIndex(4);
    int timeouts = 0;
    for (; frm->simulation().playing() && timeouts < 1000; timeouts++) {
        tick();
        if (frm->simulation().playing()) QVERIFY(shown() == expected[strip.Timeline1->position()]);
    }
    QCOMPARE(timeouts, 35); // 550 ticks, 16 a timeout
    QVERIFY(shown() == expected.back());
    QVERIFY(fileText(dir.filePath("session.txt")) == recorded);
    // After the end the timeline goes on with the live session, not seekable.
    QVERIFY(!strip.Timeline1->isEnabled() && !strip.PlayPause1->isEnabled());
    frm->simulation().power_off();
}

QStringList listed(const QListWidget *list) {
    QStringList texts;
    for (int i = 0; i < list->count(); i++) texts << list->item(i)->text();
    return texts;
}

// The note shows beside the bezel as plain text wrapped whole, in the box
// and in the list: the library's longest note fits the box, a longer one
// scrolls in it. The list starts again with the next script.
void WindowTest::notesWrapWholeBesideTheBezel() {
    QVERIFY(ui->NoteBox->geometry().left() > ui->Image1->geometry().right());
    std::string longest;
    for (const library_entry &entry : frm->simulation().library(LIBRARY_SCENARIOS).entries())
        for (size_t at = entry.text.find("\nnote "); at != std::string::npos;
             at = entry.text.find("\nnote ", at + 1)) {
            const std::string note =
                entry.text.substr(at + 6, entry.text.find('\n', at + 1) - at - 6);
            if (note.size() > longest.size()) longest = note;
        }
    const std::string flood = QString("<b>Not bold</b> ").repeated(40).toStdString();
    fakeClock();
    for (const std::string &note : {longest, flood}) {
        play("note " + note + "\n", "Long note");
        QApplication::processEvents();
        QCOMPARE(ui->NoteLabel->text(), QString::fromStdString(note).trimmed());
        const int needed = ui->NoteLabel->heightForWidth(ui->NoteLabel->width());
        QVERIFY(ui->NoteLabel->width() <= ui->NoteBox->viewport()->width());
        QVERIFY(ui->NoteLabel->height() >= needed);
        const QRect item = ui->NoteList->visualItemRect(ui->NoteList->item(0));
        QVERIFY(item.width() <= ui->NoteList->viewport()->width());
        QVERIFY(item.height() >= needed - 2 * ui->NoteLabel->margin());
    }
    QVERIFY(ui->NoteBox->verticalScrollBar()->maximum() > 0);
    play("note " + longest + "\nnote Two\nhold 0.1\n", "Longest");
    QApplication::processEvents();
    QCOMPARE(ui->NoteBox->verticalScrollBar()->maximum(), 0);
    QCOMPARE(ui->NoteLabel->textFormat(), Qt::PlainText);
    // The second note waits its turn by the window's clock.
    tick(note_board::MIN_SHOW_MS);
    QCOMPARE(ui->NoteLabel->text(), QString("Two"));
    QCOMPARE(listed(ui->NoteList), QStringList({QString::fromStdString(longest), "Two"}));
}
