// The main menu MainMenu1 and the menu part of FormActivate.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "shell/window/untSchema.h"

namespace {

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    return m;
}

QAction* addItem(QWidget* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {}) {
    auto* a = new QAction(caption, menu);
    a->setObjectName(name);
    a->setShortcut(shortcut);
    menu->addAction(a);
    return a;
}

void addSeparator(QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(name); }

// Every item of the menus under these actions, in menu order.
template <class F>
void forEachItem(const QList<QAction*>& actions, F f) {
    for (QAction* a : actions) {
        if (QMenu* m = a->menu())
            forEachItem(m->actions(), f);
        else if (!a->isSeparator())
            f(a);
    }
}

}  // namespace

void TfrmSchema::buildMainMenu() {
    MainMenu1 = menuBar();
    MainMenu1->setObjectName("MainMenu1");
    QMenuBar* bar = MainMenu1;

    mnuBestand = addMenu(bar, "mnuBestand", "&Bestand");
    mnuNieuw = addItem(mnuBestand, "mnuNieuw", "&Nieuw");
    mnuOpenen = addItem(mnuBestand, "mnuOpenen", "&Openen...");
    mnuOpslaan = addItem(mnuBestand, "mnuOpslaan", "O&pslaan");
    mnuOpslaanAls = addItem(mnuBestand, "mnuOpslaanAls", "Opslaan &Als...");
    mnuVerwijderen = addItem(mnuBestand, "mnuVerwijderen", "&Verwijderen");
    addSeparator(mnuBestand, "N1");
    mnuAfdrukken = addItem(mnuBestand, "mnuAfdrukken", "Af&drukken...");
    addSeparator(mnuBestand, "N2");
    mnuAfsluiten = addItem(mnuBestand, "mnuAfsluiten", "Af&sluiten", Qt::Key_F12);

    mnuDemo = addMenu(bar, "mnuDemo", "&Demo");
    mnuDemoTekenSchema = addItem(mnuDemo, "mnuDemoTekenSchema", "Demo spoorbaan tekenen");
    mnuDemoMaakTraject = addItem(mnuDemo, "mnuDemoMaakTraject", "Demo traject aanmaken");
    mnuDemoStuurpost1 = addItem(mnuDemo, "mnuDemoStuurpost1", "Demo stuurpost zonder spoorbaansturing 1 loc");
    mnuDemoStuurpost2 = addItem(mnuDemo, "mnuDemoStuurpost2", "Demo stuurpost zonder spoorbaansturing 3 locs");
    mnuDemoStuurpost3 =
        addItem(mnuDemo, "mnuDemoStuurpost3", "Demo stuurpost zonder spoorbaansturing 7 locs met traject");
    mnuDemoStuurpost4 = addItem(mnuDemo, "mnuDemoStuurpost4", "Demo stuurpost met spoorbaansturing");
    mnuDemoStappen = addItem(mnuDemo, "mnuDemoStappen", "Demo stappenprogramma");

    mnuBewerken = addMenu(bar, "mnuBewerken", "B&ewerken");
    mnuUndo = addItem(mnuBewerken, "mnuUndo", "Undo                    Ctrl+Z");
    mnuRedo = addItem(mnuBewerken, "mnuRedo", "Redo          Shift+Ctrl+Z");
    mnuVerplaatsen = addItem(mnuBewerken, "mnuVerplaatsen", "Ver&plaatsen", Qt::Key_F5);
    mnuVerplaatsenPunt = addItem(mnuBewerken, "mnuVerplaatsenPunt", "&Punt verplaatsen");
    mnuBouwstWijzigen = addItem(mnuBewerken, "mnuBouwstWijzigen", "&Wijzigen data", Qt::Key_F6);
    mnuBouwstVerwijderen = addItem(mnuBewerken, "mnuBouwstVerwijderen", "&Verwijderen", Qt::Key_F7);
    addSeparator(mnuBewerken, "N3");
    mnuSchemaVerpl = addItem(mnuBewerken, "mnuSchemaVerpl", "&Spoorbaan verplaatsen");
    addSeparator(mnuBewerken, "N4");
    mnuVerbindingen = addItem(mnuBewerken, "mnuVerbindingen", "Verbindingen &genereren");

    mnuTraject = addMenu(bar, "mnuTraject", "&Traject");
    mnuTrajNieuw = addItem(mnuTraject, "mnuTrajNieuw", "&Nieuw", Qt::Key_F8);
    mnuTrajWijzigen = addItem(mnuTraject, "mnuTrajWijzigen", "&Wijzigen", Qt::Key_F9);
    mnuTrajVerwijderen = addItem(mnuTraject, "mnuTrajVerwijderen", "&Verwijderen");

    mnuStuurpost = addMenu(bar, "mnuStuurpost", "&Stuurpost");
    mnuMetSturing = addItem(mnuStuurpost, "mnuMetSturing", "Starten met spoorbaansturing", Qt::Key_F10);
    mnuZonderSturing = addItem(mnuStuurpost, "mnuZonderSturing", "Starten zonder spoorbaansturing", Qt::Key_F11);

    mnuLoc = addMenu(bar, "mnuLoc", "&Loc");
    mnuLocBeheer = addItem(mnuLoc, "mnuLocBeheer", "&Beheer", Qt::Key_F2);
    mnuLocToevoegen = addItem(mnuLoc, "mnuLocToevoegen", "&Op spoor", Qt::CTRL | Qt::Key_Insert);
    mnuLocVerwijderen = addItem(mnuLoc, "mnuLocVerwijderen", "&Af spoor", Qt::CTRL | Qt::Key_Delete);
    mnuLocSturen1 = addItem(mnuLoc, "mnuLocSturen1", "&Sturen 1 loc", Qt::Key_F3);
    mnuLocSturen2 = addItem(mnuLoc, "mnuLocSturen2", "&Sturen alle locs");
    mnuLocTraject = addItem(mnuLoc, "mnuLocTraject", "&Traject", Qt::Key_F4);
    mnuLocProg = addItem(mnuLoc, "mnuLocProg", "&Programmeren");
    mnuForceRijden = addItem(mnuLoc, "mnuForceRijden", "&Forceer rijden (wagons koppelen)", Qt::CTRL | Qt::Key_A);

    mnuWagon = addMenu(bar, "mnuWagon", "&Wagon");
    mnuWagBeheer = addItem(mnuWagon, "mnuWagBeheer", "&Beheer");
    mnuWagToevoegen = addItem(mnuWagon, "mnuWagToevoegen", "&Op spoor");
    mnuWagVerwijderen = addItem(mnuWagon, "mnuWagVerwijderen", "&Af spoor");
    mnuWagOntkop = addItem(mnuWagon, "mnuWagOntkop", "Ont&koppelen", Qt::CTRL | Qt::Key_B);

    mnuBlok = addItem(bar, "mnuBlok", "Bl&ok");
    mnuWissel = addItem(bar, "mnuWissel", "&Wissel");
    mnuSein = addItem(bar, "mnuSein", "Sei&n");
    mnuUitgang = addItem(bar, "mnuUitgang", "&Uitgang");
    mnuFunctieDec = addItem(bar, "mnuFunctieDec", "&F.dec.");

    mnuStappen = addMenu(bar, "mnuStappen", "Sta&ppen");
    mnuStapWijzig = addItem(mnuStappen, "mnuStapWijzig", "Wijzigen");
    mnuStapSimIn = addItem(mnuStappen, "mnuStapSimIn", "Simulatie ingangen", Qt::CTRL | Qt::Key_S);

    mnuDivers = addMenu(bar, "mnuDivers", "Di&vers");
    mnuOpfrissen = addItem(mnuDivers, "mnuOpfrissen", "&Opfrissen");
    mnuAnimatie = addItem(mnuDivers, "mnuAnimatie", "&Animatie");

    mnuInstelling = addItem(bar, "mnuInstelling", "&Instelling");

    mnuHelp = addMenu(bar, "mnuHelp", "&Help");
    mnuHulp = addItem(mnuHelp, "mnuHulp", "&Huulp", Qt::Key_F1);
    mnuInhoud = addItem(mnuHelp, "mnuInhoud", "&Inhoud");
    mnuInfo = addItem(mnuHelp, "mnuInfo", "I&nfo");

    // Each item answers its own trigger. The bar's triggered signal would miss the items of a narrow
    // window chosen through the bar's overflow button: their menus are then not opened from the bar.
    forEachItem(bar->actions(), [this](QAction* a) { connect(a, &QAction::triggered, this, [this, a] { menuItemClick(a); }); });
}

void TfrmSchema::applyMenuStates(bool session, bool demo, bool client, bool noDialog) {
    const bool editorFree = noDialog && !demo;
    for (QAction* a : {mnuNieuw, mnuOpenen, mnuOpslaan, mnuOpslaanAls, mnuVerwijderen})
        a->setEnabled(!session || !client);
    mnuMetSturing->setText(session ? "Stoppen sessie" : "Starten met spoorbaansturing");
    mnuMetSturing->setEnabled(!session || !demo);
    mnuZonderSturing->setVisible(!session);
    for (QAction* a : {mnuLoc->menuAction(), mnuWagon->menuAction(), mnuBlok, mnuWissel, mnuSein, mnuUitgang,
                       mnuFunctieDec})
        a->setEnabled(session && !demo);
    mnuStappen->menuAction()->setEnabled(session && !client && !demo);
    mnuBestand->menuAction()->setEnabled(session ? !demo : editorFree);
    mnuBewerken->menuAction()->setEnabled(!session && editorFree);
    mnuTraject->menuAction()->setEnabled(!session && editorFree);
    mnuStuurpost->menuAction()->setEnabled(session ? !client && !demo : editorFree);
    mnuDemo->menuAction()->setEnabled(session ? demo : editorFree || demo);
    mnuDivers->menuAction()->setEnabled(session ? !demo : editorFree);
    mnuInstelling->setEnabled(session ? !demo : editorFree);
}

void TfrmSchema::applyDemoMenu(bool demo) {
    mnuDemoTekenSchema->setText(demo ? "Stop demo" : "Demo spoorbaan tekenen");
    for (QAction* a : {mnuDemoMaakTraject, mnuDemoStuurpost1, mnuDemoStuurpost2, mnuDemoStuurpost3,
                       mnuDemoStuurpost4, mnuDemoStappen})
        a->setVisible(!demo);
}
