// File > Open Data Log...: the column chooser for the session's data log,
// the columns found preselected.
#pragma once
#include "host/data_log/data_log.h"

#include <QDialog>

class QComboBox;
class session;

class TfrmDataLog : public QDialog {
  public:
    // A chooser for the columns of the log the session opened last.
    TfrmDataLog(QWidget *parent, const session &s);

    // One box per column the conversion reads, "(none)" first; and the units.
    QComboBox *Column[LOG_ROLES];
    QComboBox *MapUnit1;
    QComboBox *TempUnit1;

    // Hands the choices to the session, for its play_log().
    void choose(session &s) const;
};
