// The simulator window: the bezel with its keys and knob, the LCD panel, the
// sensor sliders, the EXIO box, the alarm lamp and On/Off. Its handlers glue
// the controls to the toolkit-free power loop.
#pragma once

#include "host/figures/lcd_description.h"
#include "host/playback/note_board.h"
#include "host/playback/script_player.h"
#include "host/script/session_recorder.h"
#include "window/scenarios.h"
#include "window/window_slot.h"

#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QMessageBox>

#include <fstream>
#include <functional>
#include <memory>
#include <stdint.h>

class BezelImage;
class ClickArea;
class LampShape;
class LcdSurface;
class LessonPanel;
class QAction;
class QCheckBox;
class QComboBox;
class TimelineView;
class TfrmDataLog;
class QFileDialog;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QOpenGLContext;
class QProgressDialog;
class QPushButton;
class QScrollArea;
class QScrollBar;
class SliderFigure;
class QStatusBar;
class QTimer;

class TfrmMain : public QMainWindow {
  public:
    TfrmMain();
    ~TfrmMain() override;

    // The controls; each handler is named after its control and event.
    QMenuBar *MainMenu1;
    QMenu *File1;
    QAction *SaveLcdImage1;
    QAction *RecordSession1;
    QAction *OpenDataLog1;
    QAction *Exit1;
    QMenu *Edit1;
    QAction *CopyLcdImage1;
    QMenu *Simulation1;
    QAction *RunEngineTimers1;
    QMenu *Scenarios1;
    QAction *PlayScenario1;
    QAction *StopScenario1;
    QMenu *Lessons1;
    QMenu *RecentScenarios1;
    QMenu *View1;
    QAction *Zoom1[4];
    QAction *ZoomIn1;
    QAction *ZoomOut1;
    QAction *ActualSize1;
    QMenu *Help1;
    QAction *KeyboardAndMouse1;
    QAction *About1;
    BezelImage *Image1;
    ClickArea *Image2;
    ClickArea *Image3;
    ClickArea *Image8;
    QWidget *Panel1;
    QLabel *Label53;
    QLabel *Label60;
    QLabel *Label55;
    QLabel *Label57;
    QLabel *Label1;
    QLabel *Label2;
    QScrollBar *ScrollBar30;
    QScrollBar *ScrollBar29;
    QScrollBar *ScrollBar1;
    // The figure beside each slider and its entry; the last entry's warning
    // or refusal.
    SliderFigure *MapFigure;
    SliderFigure *RpmFigure;
    SliderFigure *TempFigure;
    QLabel *EntryMessage;
    QCheckBox *CheckBox1;
    LampShape *Shape1;
    QPushButton *Button3;
    QPushButton *Button4;
    QPushButton *Button1;
    QPushButton *Button2;
    QStatusBar *StatusBar1;
    // The playback strip: transport and timeline.
    QPushButton *PlayPause1;
    QPushButton *Step1;
    QPushButton *Restart1;
    QComboBox *Speed1;
    TimelineView *Timeline1;
    QTimer *Timer1;
    // A scenario's notes beside the bezel: the one shown, wrapped whole in a
    // box that scrolls when it is longer, and the notes so far.
    QScrollArea *NoteBox;
    QLabel *NoteLabel;
    QListWidget *NoteList;
    // A lesson's panel, over the notes while a lesson runs.
    LessonPanel *Lesson1;

    // The dialogs, made when first opened; none blocks the power loop.
    QFileDialog *SaveDialog1 = nullptr;
    QFileDialog *RecordDialog1 = nullptr;
    QFileDialog *PlayDialog1 = nullptr;
    QFileDialog *DataLogDialog1 = nullptr;
    TfrmDataLog *ColumnDialog1 = nullptr;
    QMessageBox *HelpBox1 = nullptr;

    // The native window inside Panel1 that shows the LCD, and its context.
    LcdSurface *lcdSurface() const { return display; }
    QOpenGLContext *renderingContext() const { return context; }

    void FormCreate();
    void FormClose();
    void FormDestroy();
    void FormPaint();
    void FormResize();
    void Exit1Click();
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
    void SaveLcdImage1Click();
    void RecordSession1Click();
    void CopyLcdImage1Click();
    void RunEngineTimers1Click();
    void PlayScenario1Click();
    void OpenDataLog1Click();
    // Reads an engine data log and opens the column chooser for it; false
    // with a message when the file or its header cannot be read.
    bool openDataLogFile(const QString &path);
    // Converts the log with the columns chosen and plays the scenario.
    void ColumnDialog1Accept();
    void StopScenario1Click();
    void PlayPause1Click();
    void Step1Click();
    void Restart1Click();
    void Speed1Change();
    void Timeline1Seek(long long tick);
    void KeyboardAndMouse1Click();
    void About1Click();
    // View > Zoom: the window and the LCD at 1 to 4 times, remembered.
    void setZoom(int factor);
    int zoom() const { return zoomFactor; }
    void Surface1Expose();

    // The LCD as it shows now: at 1 the 160 x 120 palette indices with the
    // palette as the colour table, else in palette colours with each pixel
    // scaled by `scale` with nearest-neighbour.
    QImage lcdImage(double scale) const;
    // Writes the LCD as a PNG: at 1 the exact indexed PNG that lcdshot's
    // `golden` writes, else lcdImage(scale); false if it cannot be written.
    bool saveLcdImage(const QString &path, double scale) const;
    // Writes the session so far to `path` and every later input with it,
    // until stopRecording; false if the file cannot be written.
    bool startRecording(const QString &path);
    void stopRecording();
    const session_recorder &recorder() const { return session; }

    // Plays a scenario script: rehearsed first on a copy of the program
    // state (in slices between frames when long, with a progress dialog that
    // can cancel), so that one with an error plays nothing, changes nothing
    // and says why, naming `source` (where it came from); then from program
    // start, the sliders, EXIO, the engine timers and On/Off following it,
    // one tick per tick of Timer1 and the script's own passes. After its last
    // line the instrument runs on live. `folder` is where its goldens are.
    // False if it has an error found so far.
    bool playScenario(const QString &text, const QString &folder, const QString &title,
                      const QString &source = QString());
    bool scenarioPlaying() const { return player != nullptr; }
    // Plays the script in the file at `path` as Play Scenario... does; false,
    // with a message, when it cannot be read or has an error found so far.
    bool openScriptFile(const QString &path);
    bool scenarioChecking() const { return checked != nullptr; }
    // Starts a lesson: checked whole with its answers first (one that fails
    // plays nothing and says why), then its scene plays and the student
    // works the live instrument, the lesson panel showing the step.
    bool playLesson(const QString &text, const QString &title);
    // The real time that paces the notes, in milliseconds; a test may put a
    // fake clock here.
    std::function<qint64()> noteClock;

    // The bindings of the keyboard and the mouse wheel, one per line.
    static QString bindingsText();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

  private:
    void createMenus();
    void createControls(QWidget *client);
    void connectHandlers();
    void clickKey(uint8_t code, const char *name);
    bool keyboardKey(int key);
    bool wheelTurn(int delta);
    QFileDialog *saveDialog(const QString &title, const QString &file, const QStringList &filters,
                            const std::function<void(const QString &)> &chosen);
    void cannotWrite(const QString &path);
    bool instrumentOn() const;
    bool instrumentRunning() const;
    bool displayReady() const;
    void swapDisplay();
    void runPowerLoop();
    void afterPlayback();
    void showPlayback();
    void showPanel(const panel_state &panel);
    void followLesson();
    void showTransport();
    void showNotes();
    void stopScenario();
    void checkSlice();
    bool checkScenario(lcd_script::rehearsal outcome);
    bool refuseScenario();
    void cancelCheck();
    void closeCheckProgress();
    void takeOver();
    void showMessage(QMessageBox::Icon icon, const QString &text);
    void waitForRefresh();
    void showFigures();
    void showLamp();
    void describeLcd();
    void figureEntered(SliderFigure *figure);
    SliderFigure *figureFor(QWidget *widget) const;
    void showRecentScenarios();
    // A dialog opens in the folder it was last left in, and remembers it.
    void rememberFolder(QFileDialog *dialog, const QString &name);

    LcdSurface *display = nullptr;
    QOpenGLContext *context = nullptr;
    bool loopRunning = false;
    session_recorder session;
    std::ofstream recording;
    QString recordingPath;
    // Wheel movement toward the next notch, in eighths of a degree.
    int wheelRemainder = 0;
    // The scenario being played, with its goldens.
    std::unique_ptr<scenario_files> playerFiles;
    std::unique_ptr<script_player> player;
    QString playerTitle;
    // The timeline of what was played before the user took over, extended
    // by the live session a tick at a time.
    std::vector<timeline_sample> playedTimeline;
    std::vector<timeline_note> playedNotes;
    // The scenario being rehearsed before it plays, and where it came from.
    std::unique_ptr<scenario_files> checkFiles;
    std::unique_ptr<script_player> checked;
    QString checkedTitle;
    QString checkedSource;
    // The data log the column chooser is open for.
    std::string dataLog;
    QString dataLogPath;
    QProgressDialog *checkProgress = nullptr;
    // Its notes, each shown for a minimum time, and how many are in NoteList.
    note_board notes;
    size_t notesListed = 0;
    QElapsedTimer noteTimer;
    // Where this window opens among the simulator's windows on the display.
    window_slot slot;
    // Time since the last buffer swap, to pace a swap that does not wait.
    QElapsedTimer frameClock;
    int zoomFactor = 1;
    // When the LCD's description is announced to a screen reader.
    lcd_announcer announcer;
};
