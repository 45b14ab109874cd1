// Pairs of image paths and whether they name one program, checked on the host's simulated
// desktop and under Wine against the real comparison, so both fold case alike.
#pragma once

namespace keyrack::testing {

struct ProgramPathCase {
    const char* what;
    const char16_t* a;
    const char16_t* b;
    bool same;
};

#define KEYRACK_APPS u"C:\\Program Files\\WindowsApps\\"
inline constexpr ProgramPathCase kProgramPathCases[] = {
    {"package_versions",
     KEYRACK_APPS u"Microsoft.WindowsTerminal_1.22.10731.0_x64__8wekyb3d8bbwe\\WT.exe",
     KEYRACK_APPS u"Microsoft.WindowsTerminal_1.22.11141.0_x64__8wekyb3d8bbwe\\wt.EXE", true},
    {"two_packages",
     KEYRACK_APPS u"Microsoft.WindowsTerminal_1.22.10731.0_x64__8wekyb3d8bbwe\\WT.exe",
     KEYRACK_APPS u"Microsoft.WindowsNotepad_1.22.10731.0_x64__8wekyb3d8bbwe\\WT.exe", false},
    {"two_publishers",
     KEYRACK_APPS u"Microsoft.WindowsTerminal_1.22.10731.0_x64__8wekyb3d8bbwe\\WT.exe",
     KEYRACK_APPS u"Microsoft.WindowsTerminal_1.22.11141.0_x64__1234567890abc\\WT.exe", false},
    {"two_architectures", KEYRACK_APPS u"Calc_1.0.0.0_x64__8wekyb3d8bbwe\\Calc.exe",
     KEYRACK_APPS u"Calc_1.1.0.0_arm64__8wekyb3d8bbwe\\Calc.exe", false},
    {"app_versions", u"C:\\Demo\\app-1.9.0\\demoapp.exe", u"C:\\Demo\\app-1.10.0\\demoapp.exe",
     true},
    {"bare_versions", u"C:\\Tool\\1.2.3.4\\t.exe", u"C:\\Tool\\1.2.10.0\\t.exe", true},
    {"app_and_app2", u"C:\\Demo\\app\\demoapp.exe", u"C:\\Demo\\app2\\demoapp.exe", false},
    {"undotted_numbers", u"C:\\Demo\\app1\\demoapp.exe", u"C:\\Demo\\app2\\demoapp.exe", false},
    {"two_prefixes", u"C:\\Demo\\app-1.9.0\\demoapp.exe", u"C:\\Demo\\beta-1.10.0\\demoapp.exe",
     false},
    {"two_folders_differ", u"C:\\v-1.0\\app-1.0\\a.exe", u"C:\\v-2.0\\app-2.0\\a.exe", false},
    {"other_file", u"C:\\Demo\\app-1.9.0\\demoapp.exe", u"C:\\Demo\\app-1.10.0\\other.exe", false},
    {"accented_capitals", u"C:\\ÉTÉ\\Ärger.exe", u"c:\\été\\ärger.EXE", true},
    {"cyrillic_and_greek", u"C:\\Программы\\Ωmega.exe", u"C:\\пРОГРАММЫ\\ωMEGA.exe", true},
    {"no_expansion", u"C:\\Straße\\a.exe", u"C:\\STRASSE\\a.exe", false},
    {"accent_differs", u"C:\\été\\a.exe", u"C:\\ete\\a.exe", false},
};
#undef KEYRACK_APPS

}  // namespace keyrack::testing
