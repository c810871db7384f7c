#include "util/time_box_win.h"

#include <imm.h>

#include <algorithm>

namespace hv {

namespace {

constexpr int kDigitsLimit = 2;
// Room for a sign, a fraction or an exponent: a typed number is rounded, not refused.
constexpr int kNumberLimit = 8;

}  // namespace

void TimeBoxes::Load() {
    for (const TimeBox& box : boxes_) {
        form_.Spin(box.editId + 1).SetRange(0, box.maximum);
        form_.Edit(box.editId).SetLimit(input_ == TimeBoxInput::Digits ? kDigitsLimit : kNumberLimit);
        if (input_ == TimeBoxInput::Digits) ImmAssociateContextEx(form_.Item(box.editId), nullptr, 0);
        const std::wstring unit = box.maximum == kMaxHour ? L"時" : L"分";
        const std::wstring words = box.part ? box.part + (L" " + unit) : unit;
        for (int id : {box.editId, box.editId + 1}) form_.AddToName(id, words);
    }
    ShowAll();
}

void TimeBoxes::ShowAll() {
    for (const TimeBox& box : boxes_) Show(box, box.value());
}

void TimeBoxes::Show(const TimeBox& box, int value) {
    form_.Spin(box.editId + 1).SetValue(std::clamp(value, 0, box.maximum));
    form_.Edit(box.editId).SetText(TimeFieldText(value));
}

void TimeBoxes::ValueChanged(int id) {
    for (const TimeBox& box : boxes_) {
        if (box.editId + 1 != id) continue;
        box.take(form_.Spin(id).Value());
        form_.Edit(box.editId).SetText(TimeFieldText(box.value()));
    }
}

bool TimeBoxes::Validate(int id) {
    for (const TimeBox& box : boxes_) {
        if (box.editId != id) continue;
        const std::optional<int> value = ReadTimeField(form_.Edit(id).Text(), box.maximum);
        if (!value) return false;
        box.take(*value);
        Show(box, *value);
    }
    return true;
}

}  // namespace hv
