#pragma once
// What a user does in the train dialog (frmTrein, open) to make the trains of the shipped sample and demo
// files: add a locomotive with its name, kind and decoder, and couple a new wagon behind the current train.
struct LocoRec;

// Adds locomotive `number` with "Toev", types its name and chooses its kind and decoder (list indexes);
// the new record, or null when the dialog refused it.
LocoRec* addLocoInDialog(int number, const char* name, int kind, int decoder);
// "Toevoegen" on the wagons tab, answering the modal wagon table with "Nieuw" and OK.
void addWagonBehind();
