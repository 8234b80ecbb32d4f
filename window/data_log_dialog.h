// File > Open Data Log...: the chooser for the session's data log: its
// columns (those found preselected), units, the part played, the profile
// the flight plays under, and every warning of its conversion, listed before
// it plays. Each choice goes to the session, which converts again.
#pragma once
#include "host/data_log/data_log.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class session;

class TfrmDataLog : public QDialog {
  public:
    // A chooser for the log the session opened last; its text `zoom` times
    // the window's.
    TfrmDataLog(QWidget *parent, session &s, int zoom = 1);

    // One box per column the conversion reads, "(none)" first; and the units.
    QComboBox *Column[LOG_ROLES];
    QComboBox *MapUnit1;
    QComboBox *TempUnit1;
    // The part: a start and an end, after the first row or clock times.
    QLineEdit *Start1;
    QLineEdit *End1;
    QComboBox *PartClock1;
    // The profile in force, or the factory settings.
    QComboBox *Profile1;
    // What plays, and the warnings (or why nothing can play), plain text.
    QLabel *Span1;
    QPlainTextEdit *Warnings1;
    QPushButton *Play1;

    // Hands the choices to the session and shows its conversion of them.
    void choose();

  private:
    session &sim;
};
