#include "steps/files/step_file.h"

#include <memory>
#include <vector>

#include "layout/editor/editor_state.h"
#include "layout/model/layout_model.h"
#include "platform/byte_io.h"
#include "platform/paths.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/model/name_sort.h"
#include "steps/model/step_file_format.h"
#include "steps/model/step_program.h"

namespace {

// The programs in ascending order of their names' character codes.
std::vector<const StepProgramRec*> programsByName() {
    std::vector<const char*> names;
    for (const StepProgramRec* p : gStepPrograms) names.push_back(p->name.c_str());
    sortNames(names.data(), static_cast<int>(names.size()), '\0');
    std::vector<const StepProgramRec*> order;
    for (const char* n : names)
        for (const StepProgramRec* p : gStepPrograms)
            if (p->name.c_str() == n) order.push_back(p);
    return order;
}

void sortTableByName(const std::vector<const StepProgramRec*>& order) {
    for (int place = 0; place < static_cast<int>(order.size()); ++place)
        gStepPrograms.move(gStepPrograms.indexOf(order[static_cast<size_t>(place)]), place);
}

void storeImage(StepFileImage& im, const std::vector<StepBoxRect>& keptBoxes) {
    for (size_t i = 0; i < im.programs.size(); ++i) {
        if (i < keptBoxes.size()) im.programs[i].box = keptBoxes[i];
        gStepPrograms.append(std::make_unique<StepProgramRec>(im.programs[i]));
    }
    for (const StepRec& s : im.steps) gSteps.append(std::make_unique<StepRec>(s));
    for (const FormulaRec& f : im.formulas) gFormulas.append(std::make_unique<FormulaRec>(f));
}

}  // namespace

std::string stepProgramFileName() {
    std::string name = gLayoutFileName;
    name.resize(name.size() >= 3 ? name.size() - 3 : 0);
    return name + "stp";
}

int loadStepProgramFile(int keepBoxes) {
    std::vector<StepBoxRect> keptBoxes;
    if (keepBoxes)
        for (const StepProgramRec* p : gStepPrograms) keptBoxes.push_back(p->box);
    const int current = stepProgramIndex(gCurStepBox);
    clearStepPrograms();
    const std::string name = stepProgramFileName();
    std::vector<uint8_t> bytes;
    if (!vestrel::fileExists(name) || !vestrel::readWholeFile(vestrel::resolvePath(name), bytes)) return 0;
    StepFileImage im;
    if (!readStepFileImage(bytes, im)) {
        showDialogMessage("Er is een fout in het bestand '" + name +
                              "'. De stappenprogramma's moeten opnieuw gemaakt worden.",
                          1);
        return 0;
    }
    storeImage(im, keptBoxes);
    if (keepBoxes) gCurStepBox = gStepPrograms[current];
    return 1;
}

int saveStepProgramFile() {
    const std::vector<const StepProgramRec*> order = programsByName();
    if (!sessionRunning()) sortTableByName(order);
    const std::string name = stepProgramFileName();
    if (!vestrel::writeFileAtomic(vestrel::resolvePath(name), writeStepFileImage(order, gLayoutOffset))) {
        showDialogMessage("Kan bestand '" + name + "' niet openen !", 1);
        return 0;
    }
    return 1;
}

void clearStepPrograms() {
    gCurStepBox = nullptr;
    gStepPrograms.clear();
    gSteps.clear();
    gFormulas.clear();
}
