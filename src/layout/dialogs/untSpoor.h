#pragma once
// Connecting-track dialog: the reversing-loop flag and the layer of a track.
#include "layout/dialogs/element_dialog.h"

class QCheckBox;
class QRadioButton;

class TfrmSpoor : public TElementDialog {
    Q_OBJECT
public:
    explicit TfrmSpoor(QWidget* parent = nullptr);
    void FormActivate() override;
    void FormClose() override;
    void btnOKClick();

    QCheckBox* chboKeerlus = nullptr;
    QRadioButton* radbtnLaag[4] = {};  // radbtnLaag0..radbtnLaag3
};

extern TfrmSpoor* frmSpoor;
