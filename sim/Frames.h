// The charger's frames and the simulator's scenarios: what the charger sends, second by second.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ladomat::sim {

// One measurement as the charger reports it; the comments give the frame positions of each field.
struct Reading {
    int serial = 1;  // positions 1-2
    // positions 3-4: 0 charge, 1 discharge, 2 charge->discharge, 3 discharge->charge, 4 lead charge
    int mode = 0;
    int cycle = 0;  // 5-6
    int inputMv = 12460;  // 7-10
    int outputMv = 0;  // 11-14
    int currentTenthMa = 0;  // 15-18 (tenths of a milliampere, 50000 = 5 A)
    int capacityMah = 0;  // 19-22
    // 23-24: 0 no battery, 1 ready, 2 charging, 3 discharging, 4/5 the phases of discharge->charge,
    // 6/7 the phases of charge->discharge, 8 ended, 9 pause
    int status = 0;
    int flags = 0;  // 25-26
};

// The 30 upper-case hexadecimal digits of the frame, each field masked to its width; positions 27-30
// carry a checksum: the sum of the byte values of digits 1-26 modulo 65536.
std::string frameDigits(const Reading& r);

// The characters a frame begins and ends with on the line.
struct Envelope {
    char start = '\x02';
    char end = '\r';
};

// The 32 characters on the line: start character, the 30 digits, end character.
std::string frameLine(const Reading& r, Envelope envelope = {});

// One entry per second of the scenario: the bytes the charger sends in that second (empty string =
// nothing sent that second), its frames in the given envelope. An unknown name gives no entries.
std::vector<std::string> scenario(std::string_view name, Envelope envelope = {});
std::vector<std::string> scenarioNames();

// Frames (one per second) replaying a curve text file of lines "n,mV,tenthmA,mAh" (CR LF or LF),
// sent in mode 0: a few seconds ready, each line as a charging frame, then a few seconds ended.
// Lines that are not four numbers are skipped.
std::vector<std::string> replayCurveFile(const std::string& text, Envelope envelope = {});

// Second `second` (from 0) of a NiMH charge of six cells at a constant current that lasts
// `seconds`: the scenarios' charge voltage stretched to peak a minute before the end, the
// capacity growing with current times time. Status 2 (charging) in mode 0.
Reading chargeSecond(int second, int seconds, int currentTenthMa);

}  // namespace ladomat::sim
