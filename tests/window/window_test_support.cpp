// The window tests' helpers: test screens, steps of the power loop, lcdshot's
// frames and small file and widget helpers.
#include "window_test.h"

int passes_seen;

// The run screen, counting the passes.
void counting_screen(void) {
    passes_seen++;
    run_screen();
}

// A known frame: every index 0..255 appears, both corners are white.
uint8_t pattern_index(int x, int y) {
    if ((x == 0 && y == 0) || (x == 159 && y == 119)) return COLOUR_WHITE;
    return (uint8_t)(x * 3 + y * 7);
}

void pattern_screen(void) {
    passes_seen++;
    for (int y = 0; y < LCD_HEIGHT; y++)
        for (int x = 0; x < LCD_WIDTH; x++) frame_buffer[y * LCD_WIDTH + x] = pattern_index(x, y);
}

// Every pixel lit, neighbours in different colours: white and red in a
// checkerboard, so a gap shows black and a blur shows a mixed colour.
uint8_t lit_index(int x, int y) {
    return (x + y) % 2 ? COLOUR_RED : COLOUR_WHITE;
}

void lit_screen(void) {
    passes_seen++;
    for (int y = 0; y < LCD_HEIGHT; y++)
        for (int x = 0; x < LCD_WIDTH; x++) frame_buffer[y * LCD_WIDTH + x] = lit_index(x, y);
}

// The panel column or row of a device pixel: at d device pixels per window
// pixel, nearest-neighbour scaling with block edges an eighth of a pixel in.
int panel_cell(int device, double d) {
    return d == 1.0 ? device : (int)floor((device + 0.375) / d);
}

QColor rgb(uint32_t colour) {
    return QColor(colour >> 16, (colour >> 8) & 0xFF, colour & 0xFF);
}

// One step inside the power loop: polled between two passes until it
// returns true.
typedef std::function<bool()> Step;

Step after_passes(int n) {
    return [n] { return passes_seen >= n; };
}

Step action(std::function<void()> body) {
    return [body] {
        body();
        return true;
    };
}

std::vector<uint8_t> shown() {
    return std::vector<uint8_t>(shown_frame, shown_frame + LCD_PIXELS);
}

// lcdshot's frame at every tick of `text` (before the next tick), its
// goldens read from `folder`.
std::vector<std::vector<uint8_t>> lcdshot_tick_frames(const std::string &text,
                                                      const std::string &folder) {
    png_frame_files files(QDir::tempPath().toStdString(), folder);
    lcd_script headless(files, 1, [](const std::string &) {});
    reset_program_state();
    std::vector<std::vector<uint8_t>> frames;
    if (!headless.load(text)) return frames;
    for (lcd_script::step next; (next = headless.advance()) != lcd_script::STEP_FAILED;) {
        if (next == lcd_script::STEP_PASS) {
            headless.pass();
            continue;
        }
        frames.emplace_back(frame_buffer, frame_buffer + LCD_PIXELS);
        if (next == lcd_script::STEP_DONE) break;
        headless.tick();
    }
    return frames;
}

bool endsWith(const std::string &text, const std::string &end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string fileText(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

void writeFile(const QString &path, const std::string &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), (qint64)bytes.size());
}

// The message box showing `text`, if one is open.
QMessageBox *openMessage(QObject *parent, const QString &text) {
    for (QMessageBox *box : parent->findChildren<QMessageBox *>())
        if (box->isVisible() && box->text().contains(text)) return box;
    return nullptr;
}

void typeEntry(QLineEdit *entry, const QString &text) {
    entry->setFocus();
    entry->clear();
    QTest::keyClicks(entry, text);
    QTest::keyClick(entry, Qt::Key_Return);
}
