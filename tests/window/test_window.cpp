// The simulator window driven through its real widgets: what it forwards to
// its session (keys, clicks, sliders, menus, the time of its clock), the
// power loop behind "&On" and "&Off", the LCD as it appears on the screen
// (lcdshot's frames), and its layout. The session itself is tested headless.
#include "window_test.h"

void WindowTest::init() {
    // Each window starts with nothing remembered.
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Omnira", "Omnira").clear();
    reset_program_state();
    passes_seen = 0;
    frm = new TfrmMain;
    ui = frm->Controls;
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    QVERIFY(frm->renderingContext() != nullptr);
}

void WindowTest::cleanup() {
    power_off_request = 1;
    delete frm;
    frm = nullptr;
}

void WindowTest::fakeClock() {
    now = 0;
    frm->setClock([this] { return now; });
}

void WindowTest::tick(qint64 ms) {
    now += ms;
    frm->Timer1Timer();
}

void WindowTest::play(const std::string &text, const std::string &title) {
    frm->simulation().play_script(text, title, "", "");
    frm->sessionChanged();
}

// Clicks "&On" and runs the steps one after another between passes; the
// last step is expected to end the loop. False when the loop had to be
// stopped because the steps did not get through.
bool WindowTest::runWhileOn(const QList<Step> &steps, std::function<void()> powerOn) {
    int next = 0;
    bool timedOut = false;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (next < steps.size() && steps[next]()) next++;
    });
    // A safety net only: the steps wait on passes, not on time.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        power_off_request = 1;
    });
    poll.start();
    guard.start(60000);
    if (powerOn)
        powerOn();
    else
        QTest::mouseClick(ui->Button1, Qt::LeftButton);
    const auto finished = [&] { return next == steps.size() && !frm->powerLoopRunning(); };
    return QTest::qWaitFor([&] { return timedOut || finished(); }, 120000) && !timedOut;
}

// What the screen shows of Panel1, in device pixels.
QImage WindowTest::grabPanel() {
    QWindow *surface = frm->lcdSurface();
    return surface->screen()
        ->grabWindow(surface->winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

void WindowTest::displayHasADoubleBufferedFixedFunctionContext() {
    const QSurfaceFormat format = frm->renderingContext()->format();
    QCOMPARE(format.swapBehavior(), QSurfaceFormat::DoubleBuffer);
    QVERIFY(format.redBufferSize() >= 8 && format.greenBufferSize() >= 8 &&
            format.blueBufferSize() >= 8);
    QVERIFY(format.depthBufferSize() >= 24);
    QVERIFY(format.version() >= qMakePair(2, 1));
    QVERIFY(format.profile() != QSurfaceFormat::CoreProfile);
    QCOMPARE(QOpenGLContext::currentContext(), frm->renderingContext());
}

void WindowTest::onRunsTheLoopUntilOff() {
    ui->ScrollBar1->setValue(2757);
    ui->CheckBox1->setChecked(true);
    int exioWhileChecked = -1;
    uint8_t tick = 0;
    bool done = runWhileOn({
        action([&] {
            current_screen = counting_screen;
            tick = fast_tick;
        }),
        after_passes(2),
        action([&] {
            exioWhileChecked = exio_present;
            ui->CheckBox1->setChecked(false);
            passes_seen = 0;
        }),
        after_passes(1),
        // Timer1 ticks between the passes while on.
        [&] { return fast_tick != tick; },
        action([&] { QTest::mouseClick(ui->Button2, Qt::LeftButton); }),
    });
    QVERIFY(done);
    QCOMPARE(power_off_request, 1);
    QCOMPARE(exioWhileChecked, 1);
    QCOMPARE(exio_present, 0);
    // The power-on ran the RPM and MAP handlers; the TEMP latch reached the
    // instrument with a pass.
    QCOMPARE(rpm_pulse_rate, 1);
    QCOMPARE(map_adc, 1);
    QCOMPARE(temp_adc, 2757);
    // Off: no more passes.
    const int stopped = passes_seen;
    QCoreApplication::processEvents();
    QCOMPARE(passes_seen, stopped);
}

void WindowTest::onWhileOnResetsAndDoesNotNest() {
    bool nestedReturnedWhileOn = false;
    bool reset = false;
    bool done = runWhileOn({
        action([] { current_screen = counting_screen; }),
        after_passes(2),
        action([&] {
            settings.map_unit = 0;
            pending_key = KEY_F2;
            alarm_active = ALARM_MAP;
            QTest::mouseClick(ui->Button1, Qt::LeftButton);
            nestedReturnedWhileOn = power_off_request == 0;
            reset = current_screen == run_screen && settings.map_unit == 1 && alarm_active == 0 &&
                    pending_key == 0;
            // Count the passes again on the screen the power-on restored.
            current_screen = counting_screen;
            passes_seen = 0;
        }),
        after_passes(2),
        action([&] { QTest::mouseClick(ui->Button2, Qt::LeftButton); }),
    });
    QVERIFY2(nestedReturnedWhileOn, "a second On started a loop of its own");
    QVERIFY2(reset, "a second On did not run the power-on sequence");
    QVERIFY2(done, "one Off did not end the loop");
}

void WindowTest::closingEndsTheLoop_data() {
    QTest::addColumn<bool>("viaMenu");
    QTest::newRow("close box") << false;
    QTest::newRow("File, Exit") << true;
}

void WindowTest::closingEndsTheLoop() {
    QFETCH(bool, viaMenu);
    bool done = runWhileOn({
        action([] { current_screen = counting_screen; }),
        after_passes(2),
        action([&] {
            if (viaMenu)
                frm->Menus->Exit1->trigger();
            else
                frm->close();
        }),
    });
    QVERIFY(done);
    QCOMPARE(power_off_request, 1);
    const int stopped = passes_seen;
    QCoreApplication::processEvents();
    QCOMPARE(passes_seen, stopped);
    // The window and its context outlive the loop and go away cleanly.
    QVERIFY(frm->renderingContext() != nullptr);
}

// The lamp's colour and name, and the LCD's description, are the session's.
void WindowTest::lampAndDescriptionFollowTheInstrument() {
    auto lampColour = [this] { return ui->Shape1->grab().toImage().pixelColor(16, 16); };
    auto description = [this] { return ui->Panel1->accessibleDescription(); };
    QCOMPARE(lampColour(), QColor(255, 0, 0));
    ui->ScrollBar30->setValue(3000);
    ui->ScrollBar1->setValue(2500);
    bool done = runWhileOn({
        [&] { return alarm_active != 0 && map_value > settings.map_high_alarm; },
        [&] { return lampColour() == QColor(LAMP_BRIGHT, 0, 0); },
        action([&] { QVERIFY(ui->Shape1->isLit()); }),
        [&] { return description().contains("Alarm: MAP"); },
        action([&] { QTest::mouseClick(ui->Button2, Qt::LeftButton); }),
    });
    QVERIFY(done);
    QCOMPARE(ui->Shape1->accessibleName(), QString("Alarm lamp: alarm"));
    QAccessibleInterface *lcd = QAccessible::queryAccessibleInterface(ui->Panel1);
    QCOMPARE(lcd->text(QAccessible::Name), QString("LCD"));
    QVERIFY(lcd->text(QAccessible::Description).startsWith("Engine page"));
    // Off, the lamp keeps its last colour and the description follows the
    // session's ticks.
    fakeClock();
    for (int i = 0; i < 2 * lcd_announcer::ANNOUNCE_TICKS && description() != "Instrument off"; i++)
        tick();
    QCOMPARE(description(), QString("Instrument off"));
    QCOMPARE(lampColour(), QColor(LAMP_BRIGHT, 0, 0));
}

// Runs the power loop on `screen` for a few passes and turns the instrument off.
bool WindowTest::showScreen(screen_handler screen) {
    return runWhileOn({
        action([screen] { current_screen = screen; }),
        after_passes(3),
        action([&] { QTest::mouseClick(ui->Button2, Qt::LeftButton); }),
    });
}

// Where the grabbed panel differs from `frame` (x, y -> colour index) drawn at
// the surface's scale, or an empty string. Frame row y is panel row y + 1;
// the panel's top row and right column, and device pixels beyond the last
// LCD block, stay black.
QString WindowTest::panelMismatch(const QImage &shown, std::function<uint8_t(int, int)> frame) {
    const double d = frm->lcdSurface()->devicePixelRatio() * frm->zoom();
    for (int py = 0; py < shown.height(); py++) {
        for (int px = 0; px < shown.width(); px++) {
            const int x = panel_cell(px, d), y = panel_cell(py, d) - 1;
            const bool inside = x < LCD_WIDTH && y >= 0 && y < LCD_HEIGHT;
            const QColor want = inside ? rgb(palette_colour(frame(x, y))) : QColor(Qt::black);
            const QColor got = shown.pixelColor(px, py);
            if (got != want)
                return QString("device pixel (%1, %2) of LCD pixel (%3, %4) shows %5, expected %6")
                    .arg(px)
                    .arg(py)
                    .arg(x)
                    .arg(y)
                    .arg(got.name(), want.name());
        }
    }
    return QString();
}

void WindowTest::panelShowsTheFrameBufferPixelForPixel() {
    QVERIFY(showScreen(pattern_screen));
    const QImage shown = grabPanel();
    const qreal d = frm->lcdSurface()->devicePixelRatio();
    QCOMPARE(shown.size(), QSize(LCD_PANEL_WIDTH, LCD_PANEL_HEIGHT) * d);
    const QString mismatch = panelMismatch(shown, pattern_index);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    // The corners of the frame are the panel's first column and last LCD row.
    QCOMPARE(shown.pixelColor(0, (int)ceil(d)), QColor(Qt::white));
    QCOMPARE(shown.pixelColor((int)(159 * d + d / 2), (int)(120 * d + d / 2)), QColor(Qt::white));
}

// While off, the LCD keeps the image of the last swap: a repaint draws the
// frame buffer into the back buffer without swapping, and a covered and
// uncovered panel shows the image again.
void WindowTest::panelKeepsTheShownImageWhileOff() {
    QVERIFY(showScreen(pattern_screen));
    const QImage shown = grabPanel();
    QVERIFY(memcmp(shown_frame, frame_buffer, LCD_PIXELS) == 0);

    frm->repaint();
    QCoreApplication::processEvents();
    QCOMPARE(grabPanel(), shown);

    QWidget cover;
    cover.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    cover.setAutoFillBackground(true);
    cover.setGeometry(QRect(ui->Panel1->mapToGlobal(QPoint(0, 0)), ui->Panel1->size()));
    cover.show();
    QVERIFY(QTest::qWaitForWindowExposed(&cover));
    QTRY_VERIFY(grabPanel() != shown);
    cover.hide();
    QTRY_COMPARE(grabPanel(), shown);

    // Whether the back buffer shows before a swap is the driver's business;
    // what a repaint drew into it is not.
    for (int i = 0; i < LCD_PIXELS; i++) frame_buffer[i] = lit_index(i % LCD_WIDTH, i / LCD_WIDTH);
    frm->repaint();
    const QSize size = shown.size();
    QImage back(size, QImage::Format_RGBA8888);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, size.width(), size.height(), GL_RGBA, GL_UNSIGNED_BYTE, back.bits());
    const QString mismatch =
        panelMismatch(back.mirrored().convertToFormat(QImage::Format_RGB32), lit_index);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QVERIFY(memcmp(shown_frame, frame_buffer, LCD_PIXELS) != 0);
}

void WindowTest::litFrameIsSolidBlocksAtAnyScale() {
    QVERIFY(showScreen(lit_screen));
    const QImage shown = grabPanel();
    const QString mismatch = panelMismatch(shown, lit_index);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    // Blocks along the top LCD row: each floor or ceil of the factor wide.
    const double d = frm->lcdSurface()->devicePixelRatio();
    const int row = (int)(1.5 * d);
    int width = 1;
    for (int px = 1; px <= (int)(LCD_WIDTH * d) - 1; px++) {
        if (shown.pixelColor(px, row) == shown.pixelColor(px - 1, row)) {
            width++;
            continue;
        }
        QVERIFY2(width == (int)floor(d) || width == (int)ceil(d),
                 qPrintable(QString("a block %1 wide ends at %2").arg(width).arg(px)));
        width = 1;
    }
}

void WindowTest::savedLcdImageIsTheFrameInPaletteColours() {
    QVERIFY(showScreen(pattern_screen));
    clear_frame_buffer(); // the image is the one on the screen, not the next frame
    QTemporaryDir dir;
    const QString path = dir.filePath("lcd.png");
    QVERIFY(frm->saveLcdImage(path, 1.0));
    QImage saved(path);
    QCOMPARE(saved.size(), QSize(LCD_WIDTH, LCD_HEIGHT));
    for (int y = 0; y < LCD_HEIGHT; y++)
        for (int x = 0; x < LCD_WIDTH; x++)
            if (saved.pixelColor(x, y) != rgb(palette_colour(pattern_index(x, y))))
                QFAIL(qPrintable(QString("saved pixel (%1, %2) is %3")
                                     .arg(x)
                                     .arg(y)
                                     .arg(saved.pixelColor(x, y).name())));
    // At the window's scale each pixel is a nearest-neighbour block.
    const QImage big = frm->lcdImage(1.5);
    QCOMPARE(big.size(), QSize(240, 180));
    QCOMPARE(big.pixelColor(239, 179), QColor(Qt::white));
    QCOMPARE(big.pixelColor(1, 1), QColor(Qt::white));
    QVERIFY(!frm->saveLcdImage(dir.filePath("missing/lcd.png"), 1.0));
    frm->Menus->CopyLcdImage1->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
             frm->lcdImage(1.0).convertToFormat(QImage::Format_RGB32));
}

// A session worked in the window and recorded to a file, replayed by
// lcdshot, ends on the window's 1x image, which `expect golden` takes.
void WindowTest::recordedSessionReplaysToTheSavedImage() {
    QTemporaryDir dir;
    const QString session = dir.filePath("session.txt");
    const std::string saved = dir.filePath("saved.png").toStdString();
    ui->ScrollBar29->setValue(30000);
    QVERIFY(frm->startRecording(session));
    QVERIFY(frm->Menus->RecordSession1->isChecked());
    ui->ScrollBar30->setValue(1518);
    bool done = runWhileOn({after_passes(0), action([&] { ui->ScrollBar1->setValue(2674); }),
                            action([&] { QTest::keyClick(frm, Qt::Key_F2); }),
                            [] { return pending_key == 0; },
                            action([&] { QTest::keyClick(frm, Qt::Key_Plus); }),
                            [] { return pending_key == 0; }, action([&] {
                                QVERIFY(frm->saveLcdImage(QString::fromStdString(saved), 1.0));
                                QTest::mouseClick(ui->Button2, Qt::LeftButton);
                            })});
    QVERIFY(done);
    frm->Menus->RecordSession1->trigger(); // unchecked: stops
    QVERIFY(!frm->Menus->RecordSession1->isChecked());
    QVERIFY(fileText(session).rfind(session::RECORDING_HEADER, 0) == 0);
    png_frame_files files(dir.path().toStdString(), dir.path().toStdString());
    lcd_script replay(files, 1, [](const std::string &) {});
    reset_program_state();
    QVERIFY2(replay.run(fileText(session) + "expect golden saved.png\n"), replay.error().c_str());
}

// Help, Save LCD Image... and Record Session... leave the passes running
// while they are open; the files are written when the user confirms.
void WindowTest::dialogsLeaveTheLoopRunning() {
    QTemporaryDir dir;
    int mark = 0;
    auto opened = [&](QAction *menu, std::function<QWidget *()> dialog) {
        return QList<Step>{action([&, menu] {
                               menu->trigger();
                               mark = passes_seen;
                           }),
                           [&, dialog] { return passes_seen > mark + 3 && dialog()->isVisible(); }};
    };
    QList<Step> steps;
    steps << action([] { current_screen = counting_screen; });
    steps << opened(frm->Menus->KeyboardAndMouse1, [&] { return (QWidget *)frm->HelpBox1; });
    steps << action([&] { frm->HelpBox1->close(); });
    steps << opened(frm->Menus->SaveLcdImage1, [&] { return (QWidget *)frm->SaveDialog1; });
    steps << action([&] {
        frm->SaveDialog1->selectFile(dir.filePath("lcd.png"));
        QMetaObject::invokeMethod(frm->SaveDialog1, "accept");
    });
    steps << opened(frm->Menus->RecordSession1, [&] { return (QWidget *)frm->RecordDialog1; });
    steps << action([&] {
        frm->RecordDialog1->selectFile(dir.filePath("session.txt"));
        QMetaObject::invokeMethod(frm->RecordDialog1, "accept");
    });
    steps << action([&] { QTest::mouseClick(ui->Button2, Qt::LeftButton); });
    QVERIFY(runWhileOn(steps));
    QVERIFY(QFileInfo(dir.filePath("lcd.png")).size() > 0);
    QVERIFY(frm->Menus->RecordSession1->isChecked());
    QVERIFY(QFileInfo(dir.filePath("session.txt")).size() > 0);
}

void WindowTest::largeWindowKeepsItsMenuBarOnTheScreen() {
    const QRect available = frm->screen()->availableGeometry();
    if (frm->frameGeometry().width() > available.width())
        QCOMPARE(frm->frameGeometry().topLeft(), available.topLeft());
    else
        QVERIFY(available.contains(frm->frameGeometry()));
    QVERIFY(available.contains(frm->Menus->MainMenu1->mapToGlobal(QPoint(0, 0))));
}

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        fputs("window_tests: no X display; run them under xvfb-run (make test)\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    // What the windows remember goes to a folder of the tests' own.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    WindowTest test;
    return QTest::qExec(&test, argc, argv);
}
