// slotfile: reads and writes Keyrack's slot files as JSON, for demos and end-to-end tests.
//
//   slotfile dump DATA_DIR N       prints slot N (1..12) of the data folder DATA_DIR as JSON
//   slotfile make DATA_DIR N       writes slot N from the JSON on standard input
//
// The same on Windows (slotfile.exe): DATA_DIR in any script, the same JSON bytes on the
// standard streams, the same files.
//
// The JSON (UTF-8) that dump prints and make reads:
//
//   {
//     "name": "Work",                      slot name, at most 255 UTF-16 units; default ""
//     "items": [                           at most 127 items; default []
//       {
//         "path": "C:\\x\\app.exe",        file to launch, <= 259 units; default ""
//         "fileName": "app.exe",           <= 255 units; default: path after its last '\'
//         "parameters": "",                <= 1023 units; default ""
//         "name": "Window title",          <= 255 units; default ""
//         "pspId": 0,                      0..4294967295 (4294967295 = no table entry)
//         "processPath": "C:\\x\\app.exe", the table entry of pspId (<= 259 units, or null)
//         "maximize": 0,                   0..255 or true/false; default 0
//         "x": 0, "y": 0, "width": 0, "height": 0,   signed 32-bit; default 0
//         "reserved": 255,                 0..255; default 255
//         "index": 0                       -128..127; default the item's position
//       }
//     ]
//   }
//
// For make: with processPath and no pspId the item gets the id of the table entry that holds
// an equal path (ASCII case ignored), or a new entry with id lastId + 1, as the slot editor
// does. With both, pspId must be absent from the table (the entry is then added) or name an
// equal path. With neither, pspId is 4294967295. The table is written only when it changed.
// Unknown fields, wrong types, values out of range (however large), over-long texts and texts
// holding a NUL are refused, naming the field.
//
// Exit codes: 0 done; 1 a file could not be read or written; 2 bad arguments or input (no
// file is changed then).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace keyrack::slotfile {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFile = 1;
inline constexpr int kExitBadInput = 2;

// Runs the tool on `args` (without the program name).
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

}  // namespace keyrack::slotfile
