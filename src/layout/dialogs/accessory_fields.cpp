#include "layout/dialogs/accessory_fields.h"

#include <QLineEdit>
#include <algorithm>

#include "layout/dialogs/element_dialog.h"

AccessoryDecoderRec& decoderEntryOf(int address) {
    return gAccessoryState[std::clamp((address - 1) / 4 + 1, 0, kAccessoryDecoders - 1)];
}

void clampPulseTimeField(QLineEdit* field) {
    const int typed = fieldValue(field);
    const int value = std::clamp(typed, 0, kMaxPulseTime);
    if (value != typed || field->text().startsWith('-')) setFieldValue(field, value);
}
