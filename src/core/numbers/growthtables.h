#pragma once

// The WHO tables children's BMI is read against; growthtables.cpp holds the
// values and names where they come from.

namespace vel {

struct Lms {
    double l, m, s;
};

// WHO Reference 2007 (5 to 19 years), a row for every month from 60 to 228.
inline constexpr int kBmi2007FirstMonth = 60;
inline constexpr int kBmi2007LastMonth = 228;
inline constexpr int kBmi2007Months = kBmi2007LastMonth - kBmi2007FirstMonth + 1;
extern const Lms kBmi2007Boys[kBmi2007Months];
extern const Lms kBmi2007Girls[kBmi2007Months];

// WHO Child Growth Standards 2006 (birth to 5 years), rows of its daily
// table in day order. height: measured standing (from 731 days), not lying.
struct DayLms {
    int day;
    Lms lms;
    bool height;
};
inline constexpr int kBmi2006Nodes = 64;
extern const DayLms kBmi2006Boys[kBmi2006Nodes];
extern const DayLms kBmi2006Girls[kBmi2006Nodes];

} // namespace vel
