#include "shell/config/help.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/paths.h"

namespace {

const char* anchorOf(int topic) {
    static const char* const kLow[] = {
        nullptr,                                      // 0 contents
        nullptr,                                      // 1
        "#_Booster_rechtstreeks_sturen",              // 2
        "#_Rechtstreeks_inlezen_terugmeldingen",      // 3
        "#_Inleiding_tekenen_modelspoorbanen",        // 4
        "#_Spoorbaanbeheer",                          // 5
        "#_Bouwstenen_invoegen",                      // 6
        "#_Bewerken_van_de_spoorbaan",                // 7
        "#_Blok",                                     // 8
        "#_Wissel,_sein_en",                          // 9
        "#_Traject_(dienstregeling)",                 // 10
        "#_Trajecten_aanmaken,_wijzigen",             // 11
        "#_Locomotief_en_traject",                    // 12
        "#_Tijd_en_tijdbasis",                        // 13
        "#_Inleiding_stuurpost",                      // 14
        "#_Treinbeheer",                              // 15
        "#_Commandopost",                             // 16
        "#_Loc_sturen",                               // 17
        "#_Traject_(dienstregeling)_toekennen",       // 18
        "#_Synchronisatie_treinsnelheid",             // 19
        "#_Rangeren,_koppelen_en",                    // 20
        "#_Programmeren_locs",                        // 21
        "#_Instellingen",                             // 22
        "#_Statusbalk_stuurpost",                     // 23
        "#_Positiebepaling_van_treinen",              // 24
        "#_Stappenprogramma",                         // 25
        "#_Wat_te_doen",                              // 26
        "#_Functiedecoders",                          // 27
        "#_Draaischijf",                              // 28
        "#_Wagonbeheer",                              // 29
    };
    static const char* const kHigh[] = {
        "#AutoSnelheidscorrectie", "#Curve", "#ForceRijden", "#Keerlus",  "#Lengtes", "#Modes",
        "#OpmerkingenBlok",        "#Schaal", "#Sectie",     "#Snelheidscorrectie", "#Tekenregels",
    };  // 40..50
    if (topic >= 0 && topic <= 29) return kLow[topic];
    if (topic >= 40 && topic <= 50) return kHigh[topic - 40];
    return nullptr;
}

}  // namespace

// The whole current folder is used, however deep it lies.
std::string helpTopicUrl(int topic) {
    const std::string page = vestrel::resolvePath(vestrel::currentDirectory() + "/Vestrel_n.htm");
    QUrl url = QUrl::fromLocalFile(QString::fromLocal8Bit(page.c_str()));
    if (const char* anchor = anchorOf(topic)) url.setFragment(QString::fromLatin1(anchor + 1));
    return url.toString().toStdString();
}

void showHelpTopic(int topic) { QDesktopServices::openUrl(QUrl(QString::fromStdString(helpTopicUrl(topic)))); }
