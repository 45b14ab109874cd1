// slotfile on Windows: the same tool over the same bytes as on Linux. The arguments arrive as
// UTF-16 (so folder names in any script work) and go on as UTF-8; standard input, output and
// error are binary, so neither the JSON nor its line ends pass through a code page or CR/LF
// translation.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tools/slotfile/slotfile.h"

int wmain(int argc, wchar_t** argv) {
    for (FILE* stream : {stdin, stdout, stderr}) _setmode(_fileno(stream), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        static_assert(sizeof(wchar_t) == sizeof(char16_t));
        args.push_back(keyrack::Utf16ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
    }
    return keyrack::slotfile::Run(args, std::cin, std::cout, std::cerr);
}
