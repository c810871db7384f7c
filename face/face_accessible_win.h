// What a screen reader finds on the face: the window's client object (WM_GETOBJECT,
// OBJID_CLIENT) is a list named after the shown month ("2026年12月") whose items are its days
// ("12月9日 水曜日、今日、大安"), each with the box it is drawn in. The arrow keys move a focus
// day (MonthNavigator::focus) and the reader follows it. The words come from the portable
// DescribeDay and MonthHeading; this is only the MSAA object around them.
#pragma once

#include <windows.h>

#include <string>

#include "face/face_win.h"
#include "face/month_navigator.h"
#include "settings/settings.h"

namespace hv {

class FaceAccessible;

class FaceAccessibility {
public:
    FaceAccessibility(const MonthNavigator& navigator, const FacePainter& painter, const Settings& settings)
        : navigator_(navigator), painter_(painter), settings_(settings) {}
    // Disconnects the object from the face: a client that still holds it gets errors.
    ~FaceAccessibility();
    FaceAccessibility(const FaceAccessibility&) = delete;
    FaceAccessibility& operator=(const FaceAccessibility&) = delete;

    // WM_GETOBJECT: the face's object for OBJID_CLIENT; 0 for any other object, which the
    // default window procedure then answers.
    LRESULT OnGetObject(HWND window, WPARAM wp, LPARAM lp);
    // The focus day moved, or the window got the keyboard focus: the reader moves to the day.
    void NotifyFocus(HWND window) const;
    // Another month, or another today: the object's name and its days changed.
    void NotifyMonthShown(HWND window) const;

    // What the object reads, asked afresh at every call.
    std::wstring Name() const;
    int DayCount() const;
    std::wstring DayName(int day) const;
    // The box day `day` is drawn in, in screen pixels; false before the face has drawn the month.
    bool DayRect(HWND window, int day, RECT& rect) const;
    int FocusDay() const { return navigator_.focus().day; }

private:
    const MonthNavigator& navigator_;
    const FacePainter& painter_;
    const Settings& settings_;
    FaceAccessible* object_ = nullptr;  // made at the first request, held until the face goes
};

}  // namespace hv
