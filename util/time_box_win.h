// The hour and minute boxes of the settings dialogs, on the form layer: each is an Edit row
// followed by the Spinner row that works it (id + 1). One wiring for every dialog with a
// time of day: the spinner's range, the box's length and input method, what the box shows
// (a stored value beyond the arrows as stored, the spinner within its range), what a typed
// text (ReadTimeField) or a turned spinner makes of the value.
#pragma once

#include <functional>
#include <vector>

#include "util/form_win.h"
#include "util/time_field.h"

namespace hv {

// How a time box is typed into.
enum class TimeBoxInput {
    Digits,  // two characters, the input method off
    Number,  // any number ReadTimeField reads ("1.6" is 2), up to eight characters
};

struct TimeBox {
    int editId;
    int maximum;  // kMaxHour or kMaxMinute
    std::function<int()> value;       // the value the box stands for
    std::function<void(int)> take;    // a value the user typed or counted
    // Tells the box from others its label names ("開始"), before 時 or 分; null: only 時 or 分.
    const wchar_t* part = nullptr;
};

class TimeBoxes {
public:
    TimeBoxes(Form& form, TimeBoxInput input, std::vector<TimeBox> boxes)
        : form_(form), input_(input), boxes_(std::move(boxes)) {}

    // For OnLoad: the ranges, lengths and input method, the names ("<label> <part> 時"), and
    // every box showing its value.
    void Load();
    // Every box shows its value again (the values changed under them).
    void ShowAll();
    // For OnValueChanged: a spinner of these was turned; its value is taken and its box shows it.
    void ValueChanged(int id);
    // For OnValidate: a box of these is taken (and shows the value as read), or refused
    // (false). True for any other control.
    bool Validate(int id);

private:
    void Show(const TimeBox& box, int value);
    Form& form_;
    TimeBoxInput input_;
    std::vector<TimeBox> boxes_;
};

}  // namespace hv
