// TfrmMain's Instrument menu: the preset profiles, Load Profile..., Save
// Profile... and Factory Settings over the session's profiles. The profile
// in force is kept for the next run and named in the window's title.
#include "window/TfrmMain.h"

#include "host/files/replace_file.h"
#include "host/profiles/profile.h"
#include "host/text/printable.h"
#include "window/file_bytes.h"
#include "window/menus.h"
#include "window/preferences.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>

void TfrmMain::connectProfileHandlers() {
    MainMenus &m = *Menus;
    m.showProfiles(sim, [this](size_t index) { PresetProfile1Click(index); });
    connect(m.LoadProfile1, &QAction::triggered, this, &TfrmMain::LoadProfile1Click);
    connect(m.SaveProfile1, &QAction::triggered, this, &TfrmMain::SaveProfile1Click);
    connect(m.FactorySettings1, &QAction::triggered, this, &TfrmMain::FactorySettings1Click);
    // The profile of the last run, in force again; one that no longer reads
    // is refused once and forgotten.
    QByteArray bytes;
    QString name;
    if (preferences::profile(bytes, name) &&
        !sim.load_profile(bytes.toStdString(), name.toStdString()))
        preferences::setProfile(QByteArray(), QString());
    showProfile();
}

void TfrmMain::keepProfile(const std::string &bytes, const std::string &name) {
    preferences::setProfile(QByteArray::fromStdString(bytes), QString::fromStdString(name));
    showProfile();
    sessionChanged();
}

void TfrmMain::showProfile() {
    QString title = QStringLiteral("Qirel QX-40 Simulator");
    if (sim.has_profile())
        title += QStringLiteral(" \u2014 Profile: ") + QString::fromStdString(sim.profile_title());
    setWindowTitle(title);
}

void TfrmMain::PresetProfile1Click(size_t index) {
    const std::vector<library_entry> &presets = sim.library(LIBRARY_PROFILES).entries();
    if (index < presets.size() && sim.play_library(LIBRARY_PROFILES, index))
        keepProfile(presets[index].text, presets[index].name);
    else
        sessionChanged();
}

void TfrmMain::LoadProfile1Click() {
    if (!LoadProfileDialog1)
        LoadProfileDialog1 = openDialog(QStringLiteral("Load Profile"),
                                        QStringLiteral("Instrument profile (*.txt);;Any file (*)"),
                                        [this](const QString &path) { loadProfileFile(path); });
    LoadProfileDialog1->open();
}

bool TfrmMain::loadProfileFile(const QString &path) {
    std::string bytes;
    if (!readFile(path, MAX_PROFILE_BYTES, bytes)) {
        showMessage(QMessageBox::Warning,
                    printable("Cannot read " + fileBytesName(path) +
                              " as a profile: it is missing, not a file or unreadable."));
        return false;
    }
    const std::string name = fileBytesName(QFileInfo(path).fileName());
    if (!sim.load_profile(bytes, name)) {
        sessionChanged();
        return false;
    }
    keepProfile(bytes, name);
    return true;
}

void TfrmMain::SaveProfile1Click() {
    if (!SaveProfileDialog1)
        SaveProfileDialog1 =
            saveDialog(QStringLiteral("Save Profile"), QStringLiteral("profile.txt"),
                       {QStringLiteral("Instrument profile (*.txt)")},
                       [this](const QString &path) { saveProfileFile(path); });
    SaveProfileDialog1->open();
}

bool TfrmMain::saveProfileFile(const QString &path) {
    const std::string text =
        sim.save_profile(sim.has_profile() ? sim.profile_title() : "Factory settings");
    std::string error;
    if (replace_file(fileBytesName(path), text, error)) return true;
    showMessage(QMessageBox::Warning,
                printable("Cannot write " + fileBytesName(path) + ": " + error + "."));
    return false;
}

void TfrmMain::FactorySettings1Click() {
    sim.factory_settings();
    keepProfile(std::string(), std::string());
}
