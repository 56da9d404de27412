#pragma once

// What the program says about itself: the caption, the About box and the
// Help menu all take these from here.
inline constexpr char ProductTitle[] = " Folivane ";
inline constexpr char ProductVersion[] = "V3.2";
inline constexpr char WebAddress[] = "https://www.tessary.example/folivane/";
inline constexpr char MailAddress[] = "mailto:support@tessary.example";
