// Every text and link target of the About box, in one place. The resource script includes
// this file for the template's texts (plain string macros, which the resource compiler reads)
// and the code uses the wide constants below.
#pragma once

#include "keyrack_version.h"

// One string literal per macro: the resource compiler does not join adjacent literals (its
// copy of this file has the version written into the text).
// clang-format off
#define KEYRACK_ABOUT_INFO "프로그램 이름: Keyrack\n버전: v" KEYRACK_VERSION "\n개발자: 박하늘 (Haneul Park)\n제작 년도: 2025"
#define KEYRACK_ABOUT_CONTACT "이메일: <a href=\"mail\">haneul.park@example.com</a>\n웹사이트: <a href=\"site\">하늘의 작업실</a>"
#define KEYRACK_ABOUT_NOTICE "Keyrack은 MIT 라이선스로 배포되는 자유 소프트웨어입니다. 라이선스 전문과 글꼴의 라이선스는 아래 파일에 있습니다."
#define KEYRACK_ABOUT_LICENSE_LINKS "<a href=\"LICENSE\">LICENSE 파일</a>\n\n화면 글꼴: Pretendard, Copyright (c) 2021 Kil Hyung-jin.\nSIL Open Font License 1.1에 따라 함께 배포됩니다.\n<a href=\"pretendard\">Pretendard 프로젝트</a>"
// clang-format on

#ifndef RC_INVOKED

namespace keyrack::about {

inline constexpr const wchar_t* kInfo = L"" KEYRACK_ABOUT_INFO;
inline constexpr const wchar_t* kContactLinks = L"" KEYRACK_ABOUT_CONTACT;
inline constexpr const wchar_t* kNotice = L"" KEYRACK_ABOUT_NOTICE;
inline constexpr const wchar_t* kLicenseLinks = L"" KEYRACK_ABOUT_LICENSE_LINKS;

// Link hrefs and what the shell opens for them.
inline constexpr const wchar_t* kHrefMail = L"mail";
inline constexpr const wchar_t* kHrefSite = L"site";
inline constexpr const wchar_t* kHrefLicense = L"LICENSE";
inline constexpr const wchar_t* kHrefPretendard = L"pretendard";

inline constexpr const wchar_t* kMailTarget = L"mailto:haneul.park@example.com";
inline constexpr const wchar_t* kSiteTarget = L"https://example.com/keyrack";
// Resolved beside the executable before it is opened.
inline constexpr const wchar_t* kLicenseFile = L"LICENSE.txt";
inline constexpr const wchar_t* kPretendardTarget = L"https://github.com/orioncactus/pretendard";

}  // namespace keyrack::about

#endif
