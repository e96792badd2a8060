#pragma once
// The main window: diagram, menus, the 20 control-post rows, status strips and the cycle timer.
#include <QMainWindow>
#include <QMouseEvent>

class QAction;
class QKeyEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QMenuBar;
class QTcpServer;
class QTcpSocket;
class QTimer;
class QToolButton;
class TImage;

constexpr int kControlPosts = 20;

// The control-post widgets by kind * 20 + post: btnLok, btnMode, btnRich, lblSnelheid, lblPauze.
extern QWidget* gCmdpostControls[5 * kControlPosts];

class TfrmSchema : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmSchema(QWidget* parent = nullptr);
    ~TfrmSchema() override;

    // The client area; its canvas is the form's own surface (tool bar, legend, status line).
    TImage* ClientArea = nullptr;

    QGroupBox* grpCmdpost = nullptr;
    QLabel* lblLokAanUit = nullptr;
    QLabel* lblModeRich = nullptr;
    QLabel* lblSnelh = nullptr;
    QLabel* lblWachttijd = nullptr;
    QToolButton* btnLok[kControlPosts] = {};
    QToolButton* btnMode[kControlPosts] = {};
    QToolButton* btnRich[kControlPosts] = {};
    QLabel* lblSnelheid[kControlPosts] = {};
    QLabel* lblPauze[kControlPosts] = {};
    QToolButton* btnNstop = nullptr;

    QGroupBox* grpBestand = nullptr;
    QLabel* lblBestand = nullptr;
    QLabel* lblBestandsnaam = nullptr;
    QLabel* lblSchaal = nullptr;
    QLabel* lblSchaalwaarde = nullptr;
    QLabel* lblZoom = nullptr;
    QLabel* lblZoomwaarde = nullptr;
    QLabel* lblVarWissel = nullptr;
    QLabel* lblCurPos = nullptr;
    QLabel* lblLijnlengte = nullptr;

    TImage* imgSchema = nullptr;
    QLabel* lblInfo = nullptr;
    QComboBox* cboWissellengte = nullptr;
    QComboBox* cboWisselbreedte = nullptr;

    QGroupBox* grpStatusTekenpost = nullptr;
    QLabel* lblSnapToGrid = nullptr;
    QLabel* lblVisuNummer = nullptr;
    QLabel* lblVisuSectie = nullptr;

    QGroupBox* grpStatus = nullptr;
    QLabel* lblCOM = nullptr;
    QLabel* lblHexUit = nullptr;
    QLabel* lblLPTCOM = nullptr;
    QLabel* lblHexIn = nullptr;
    QLabel* lblNet = nullptr;
    QLabel* lblKortsluitbeveiliging = nullptr;
    QLabel* lblCyclustijd = nullptr;
    QLabel* lblKlokinterval = nullptr;
    QLabel* lblTijd = nullptr;

    QMenuBar* MainMenu1 = nullptr;
    QMenu* mnuBestand = nullptr;
    QAction* mnuNieuw = nullptr;
    QAction* mnuOpenen = nullptr;
    QAction* mnuOpslaan = nullptr;
    QAction* mnuOpslaanAls = nullptr;
    QAction* mnuVerwijderen = nullptr;
    QAction* mnuAfdrukken = nullptr;
    QAction* mnuAfsluiten = nullptr;
    QMenu* mnuDemo = nullptr;
    QAction* mnuDemoTekenSchema = nullptr;
    QAction* mnuDemoMaakTraject = nullptr;
    QAction* mnuDemoStuurpost1 = nullptr;
    QAction* mnuDemoStuurpost2 = nullptr;
    QAction* mnuDemoStuurpost3 = nullptr;
    QAction* mnuDemoStuurpost4 = nullptr;
    QAction* mnuDemoStappen = nullptr;
    QMenu* mnuBewerken = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuRedo = nullptr;
    QAction* mnuVerplaatsen = nullptr;
    QAction* mnuVerplaatsenPunt = nullptr;
    QAction* mnuBouwstWijzigen = nullptr;
    QAction* mnuBouwstVerwijderen = nullptr;
    QAction* mnuSchemaVerpl = nullptr;
    QAction* mnuVerbindingen = nullptr;
    QMenu* mnuTraject = nullptr;
    QAction* mnuTrajNieuw = nullptr;
    QAction* mnuTrajWijzigen = nullptr;
    QAction* mnuTrajVerwijderen = nullptr;
    QMenu* mnuStuurpost = nullptr;
    QAction* mnuMetSturing = nullptr;
    QAction* mnuZonderSturing = nullptr;
    QMenu* mnuLoc = nullptr;
    QAction* mnuLocBeheer = nullptr;
    QAction* mnuLocToevoegen = nullptr;
    QAction* mnuLocVerwijderen = nullptr;
    QAction* mnuLocSturen1 = nullptr;
    QAction* mnuLocSturen2 = nullptr;
    QAction* mnuLocTraject = nullptr;
    QAction* mnuLocProg = nullptr;
    QAction* mnuForceRijden = nullptr;
    QMenu* mnuWagon = nullptr;
    QAction* mnuWagBeheer = nullptr;
    QAction* mnuWagToevoegen = nullptr;
    QAction* mnuWagVerwijderen = nullptr;
    QAction* mnuWagOntkop = nullptr;
    QAction* mnuBlok = nullptr;
    QAction* mnuWissel = nullptr;
    QAction* mnuSein = nullptr;
    QAction* mnuUitgang = nullptr;
    QAction* mnuFunctieDec = nullptr;
    QMenu* mnuStappen = nullptr;
    QAction* mnuStapWijzig = nullptr;
    QAction* mnuStapSimIn = nullptr;
    QMenu* mnuDivers = nullptr;
    QAction* mnuOpfrissen = nullptr;
    QAction* mnuAnimatie = nullptr;
    QAction* mnuInstelling = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHulp = nullptr;
    QAction* mnuInhoud = nullptr;
    QAction* mnuInfo = nullptr;

    QTimer* Timer1 = nullptr;
    QTcpServer* ServerSocket1 = nullptr;
    QTcpSocket* ClientSocket1 = nullptr;

    // Runs the start-mode dialog modally and sets the network mode from its answer.
    void FormShow();
    // Panels and menus for editor mode or session mode.
    void FormActivate();
    void FormPaint();
    void FormResize();
    // false refuses the close (a save question was started instead).
    bool FormCloseQuery();
    void FormClose();

    // The network sockets' events (on the GUI thread): a new connection, and per client connection
    // its disconnect, error and data; the client socket's connect, disconnect, error
    // (a QAbstractSocket::SocketError) and data.
    void ServerSocket1GetSocket();
    void ServerSocket1ClientDisconnect(QTcpSocket* socket);
    void ServerSocket1ClientError(QTcpSocket* socket);
    void ServerSocket1ClientRead(QTcpSocket* socket);
    void ClientSocket1Connect();
    void ClientSocket1Disconnect();
    void ClientSocket1Error(int socketError);
    void ClientSocket1Read();

    // Moves the window left or up so that the canvas fits on a screen of that size, never below 0.
    void keepWindowOnScreen(int screenWidth, int screenHeight);
    // Sizes the client area to gCanvasSize.
    void setClientSize(int width, int height);

public slots:
    void Timer1Timer();
    void imgSchemaMouseDown(QMouseEvent* event);
    void imgSchemaMouseMove(QMouseEvent* event);
    void imgSchemaMouseUp(QMouseEvent* event);
    // Every menu item ends here: its command code goes to the editor or the control post.
    void menuItemClick(QAction* item);

public:
    // Keys of every widget of the window (an application-wide filter hands them here).
    void FormKeyDown(QKeyEvent* event);
    void FormKeyUp(QKeyEvent* event);
    // Pointer events of the bare window (sender present) or forwarded from imgSchema (sender null).
    void FormMouseMove(QObject* sender, QMouseEvent* event);
    void FormMouseUp(QObject* sender, QMouseEvent* event);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void installInputRouting();
    void routeControlPostClicks();
    void routePanelClicks();
    void buildControlPosts();
    void buildFilePanel();
    void buildStatusStrips();
    void buildDiagramWidgets();
    void buildMainMenu();
    void buildNetSockets();
    void fillCmdpostControls();
    void layoutClientArea();
    void applyMenuStates(bool session, bool demo, bool client, bool noDialog);
    void applyDemoMenu(bool demo);
    bool shown_ = false;
};

extern TfrmSchema* frmSchema;

// What closing the main window must do first: 0 nothing (close), 1 ask to save the locomotive file,
// 2 ask to save the layout.
int closeQueryAction();

// The value a window position takes so that `extent` pixels from it fit on a screen of `screenExtent`.
int keepOnScreen(int position, int extent, int screenExtent);
