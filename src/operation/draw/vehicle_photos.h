#pragma once
// Vehicle photos: bitmaps under "foto\loc\", "foto\loc\hulploc\", "foto\wag\" and "foto\wag\klein\",
// named after the vehicle's photo name, with "00blanco.bmp" in each folder as the blank photo.
#include <string>

class QImage;
struct WagonRec;

// Loads folder + name + ".bmp" into image; with an empty name or when that fails, the folder's blank
// photo. 1 the own photo was loaded, 2 the name was empty and the blank photo was loaded, 0 the own
// photo failed (the blank one may stand in the image) or nothing could be loaded. A name that would
// leave the folder (a path separator, "..") is never opened.
int loadPhotoBitmap(const std::string& folder, const std::string& name, QImage& image);

// The picture of a wagon: for a helper locomotive's wagon the 160 x 40 strip of its locomotive's photo
// (made once under "foto\loc\hulploc\"), else the wagon's photo; small ones (for grid cells) when a
// bitmap is given. Without a bitmap the wagon dialog's photo shows it.
void buildTrainPicture(const WagonRec* wagon, QImage* bitmap);

#include <vector>

// The photo names a folder offers ("foto\loc\", "foto\wag\"): its bitmap files whose extension is
// ".bmp" in any case, without it, sorted; names that do not fit a photo field (1..10 characters) are
// left out.
std::vector<std::string> photoNamesIn(const std::string& folder);
// The photo name of a bitmap chosen in a file dialog: its name without ".bmp" when the file lies in
// the folder itself and the name fits a photo field, else empty (nothing is taken).
std::string photoNameOfChosenFile(const std::string& folder, const std::string& chosenPath);
