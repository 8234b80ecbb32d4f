// File > Open Data Log...: the column chooser for an engine data log, the
// columns found preselected, and the reading of the log itself.
#pragma once
#include "host/data_log/data_log.h"

#include <QDialog>
#include <QString>

#include <string>

class QComboBox;

class TfrmDataLog : public QDialog {
  public:
    // A chooser for the columns of `header`; `name` is the log's file name.
    TfrmDataLog(QWidget *parent, const log_header &header, const QString &name);

    // One box per column the conversion reads, "(none)" first; and the units.
    QComboBox *Column[LOG_ROLES];
    QComboBox *MapUnit1;
    QComboBox *TempUnit1;

    // The conversion's options as chosen.
    log_options options() const;

  private:
    std::vector<std::string> names_;
};

// Reads the log at `path`, refusing one over MAX_LOG_BYTES; false with
// `error` (plain text) when it cannot.
bool read_data_log(const QString &path, std::string &csv, QString &error);
