// The scenario library bundled with the window, and where a scenario played
// in the window reads its goldens.
#pragma once

#include "host/script/lcd_script.h"

#include <QList>
#include <QString>

struct scenario_entry {
    QString title; // the first comment line, or the file name
    QString path;  // a resource path (":/scenarios/...") or a file path
};

// The bundled scenarios (or lessons, from ":/lessons") in the order of the
// library's course.list, then any it does not name in file-name order.
QList<scenario_entry> bundled_scenarios(const QString &library = QStringLiteral(":/scenarios"));

// A scenario's title: the text of its first line when that is a comment.
QString scenario_title(const QString &text, const QString &fallback);

// Goldens read through Qt (resources included) from the scenario's folder;
// the pictures a script writes (shot, golden) are lcdshot's and go nowhere.
class scenario_files : public frame_files {
  public:
    explicit scenario_files(const QString &folder) : folder_(folder) {}
    bool write_frame(const std::string &name, const uint8_t *frame, int scale, bool exact,
                     std::string &where) override;
    bool read_golden(const std::string &file, uint8_t *frame, std::string &error) override;

  private:
    QString folder_;
};
