// The simulator window: the instrument's front and control strip, the menus,
// the playback strip and the lesson panel over one session of the host. Its
// handlers forward the user's input and the time its clock saw to the
// session, and draw what the session reports; it keeps no session state.
#pragma once

#include "host/session/bindings.h"
#include "host/session/session.h"
#include "window/window_slot.h"

#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QMessageBox>

#include <fstream>
#include <functional>

class InstrumentPanel;
class LcdSurface;
class LessonPanel;
class MainMenus;
class PlaybackStrip;
class QFileDialog;
class QOpenGLContext;
class QProgressDialog;
class QTimer;
class TfrmDataLog;
struct SliderFigure;

class TfrmMain : public QMainWindow {
  public:
    TfrmMain();
    ~TfrmMain() override;

    // The parts of the window, each with its controls.
    MainMenus *Menus;
    InstrumentPanel *Controls;
    PlaybackStrip *Playback;
    // A lesson's panel, over the notes while the session has a lesson.
    LessonPanel *Lesson1;
    QTimer *Timer1;

    // The dialogs, made when first opened; none blocks the power loop.
    QFileDialog *SaveDialog1 = nullptr;
    QFileDialog *RecordDialog1 = nullptr;
    QFileDialog *PlayDialog1 = nullptr;
    QFileDialog *DataLogDialog1 = nullptr;
    TfrmDataLog *ColumnDialog1 = nullptr;
    QFileDialog *LoadProfileDialog1 = nullptr;
    QFileDialog *SaveProfileDialog1 = nullptr;
    QMessageBox *HelpBox1 = nullptr;
    // A long script's check, after CHECK_PROGRESS_AFTER_MS; it can cancel.
    QProgressDialog *CheckProgress1 = nullptr;

    // The native window inside Panel1 that shows the LCD, and its context.
    LcdSurface *lcdSurface() const;
    QOpenGLContext *renderingContext() const { return context; }

    // The session the window shows. After handing it an input directly,
    // call sessionChanged(): the window shows it and runs what is then due.
    session &simulation() { return sim; }
    void sessionChanged();
    // The window's one clock, in milliseconds: a test may put another here,
    // whose time starts from its now.
    void setClock(std::function<qint64()> clock);
    bool powerLoopRunning() const { return loopRunning; }

    void FormCreate();
    void FormClose();
    void FormDestroy();
    void FormPaint();
    void FormResize();
    void Button1Click();
    void Button2Click();
    void Image2Click();
    void Image3Click();
    void Image8Click();
    void Button3Click();
    void Button4Click();
    void ScrollBar29Change();
    void ScrollBar30Change();
    void ScrollBar1Change();
    void Timer1Timer();
    void CheckBox1Click();
    void Surface1Expose();
    void Exit1Click();
    void SaveLcdImage1Click();
    void RecordSession1Click();
    void CopyLcdImage1Click();
    void RunEngineTimers1Click();
    void PlayScenario1Click();
    void StopScenario1Click();
    void OpenDataLog1Click();
    void ColumnDialog1Accept();
    void PresetProfile1Click(size_t index);
    void LoadProfile1Click();
    void SaveProfile1Click();
    void FactorySettings1Click();
    void KeyboardAndMouse1Click();
    void About1Click();

    // Plays the script in the file at `path` as Play Scenario... does, its
    // goldens read from its folder; false, with a message, when it cannot be
    // read or has an error found so far.
    bool openScriptFile(const QString &path);
    // Opens an engine data log in the session and the column chooser for
    // it; false with a message when the file or its header cannot be read.
    bool openDataLogFile(const QString &path);
    // Instrument > Load Profile... and Save Profile...: the profile in the
    // file put in force from the next power-on and remembered for the next
    // run (a bad one is refused by its line, the one in force stays); the
    // instrument's settings written whole or not at all. False with a message.
    bool loadProfileFile(const QString &path);
    bool saveProfileFile(const QString &path);
    // Writes the session so far to `path` and every later input with it,
    // until stopRecording or the session stops it; false if it cannot be
    // written.
    bool startRecording(const QString &path);
    void stopRecording();

    // The LCD as it shows now: at 1 the 160 x 120 palette indices with the
    // palette as the colour table, else in palette colours with each pixel
    // scaled by `scale` with nearest-neighbour.
    QImage lcdImage(double scale) const;
    // Writes the LCD as a PNG: at 1 the exact indexed PNG that lcdshot's
    // `golden` writes, else lcdImage(scale); false if it cannot be written.
    bool saveLcdImage(const QString &path, double scale) const;
    // View > Zoom: the window and the LCD at 1 to 4 times, remembered.
    void setZoom(int factor);
    int zoom() const { return zoomFactor; }

    // Help > Keyboard and mouse: the session's bindings of the window, and
    // how keys reach the instrument.
    static QString bindingsText();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

  private:
    void connectHandlers();
    void loadLibraries();
    // The Instrument menu's handlers, and the profile of the last run.
    void connectProfileHandlers();
    void keepProfile(const std::string &bytes, const std::string &name);
    // The profile in force, in the window's title.
    void showProfile();
    void forward(panel_action action);
    void moveSlider(slider_id slider, int position);
    void figureEntered(SliderFigure &figure);
    bool keyPressed(const QKeyEvent *key);
    bool wheelTurned(int delta);
    void showSession();
    void showRecent();
    void runPowerLoop();
    void checkSlice();
    void showCheckProgress();
    void closeCheckProgress();
    bool displayReady() const;
    void swapDisplay();
    void waitForRefresh();
    void showMessage(QMessageBox::Icon icon, const std::string &text);
    QFileDialog *saveDialog(const QString &title, const QString &file, const QStringList &filters,
                            const std::function<void(const QString &)> &chosen);
    QFileDialog *openDialog(const QString &title, const QString &filters,
                            const std::function<void(const QString &)> &chosen);
    void cannotWrite(const QString &path);
    // A dialog opens in the folder it was last left in, and remembers it.
    void rememberFolder(QFileDialog *dialog, const QString &name);

    session sim;
    QOpenGLContext *context = nullptr;
    bool loopRunning = false;
    // The clock (real time unless a test set another), and its time when
    // last handed to the session.
    QElapsedTimer realTime;
    std::function<qint64()> clock;
    qint64 lastTime = 0;
    // A slice of the check is queued; when the check began, by the clock.
    bool checkDue = false;
    qint64 checkStarted = -1;
    // The time of the last buffer swap, to pace a swap that does not wait.
    qint64 lastSwap = -1;
    std::ofstream recording;
    QString recordingPath;
    // Wheel movement toward the next notch, in eighths of a degree.
    int wheelRemainder = 0;
    // Where this window opens among the simulator's windows on the display.
    window_slot slot;
    int zoomFactor = 1;
};
