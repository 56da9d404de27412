#pragma once

#include "fontrecord.h"

#include <QString>
#include <QtGlobal>

// The names of the program's settings values and what a missing value reads
// as. Every value lives in SettingsKeyPath (the font values in its subkeys);
// the names are a stored format and never change.
inline const QString SettingsKeyPath = QStringLiteral("\\Software\\Tessary software\\Folivane\\config\\");

namespace SettingNames {

// Main window, dwords; a missing one turns every bar on and keeps the window's size.
inline constexpr char ShowToolbar[] = "show_toolbar";
inline constexpr char ShowStatusBar[] = "show_status_bar";
inline constexpr char ShowFileTabs[] = "show_file_tab";
inline constexpr char MainHeight[] = "main_height";
inline constexpr char MainWidth[] = "main_width";
inline constexpr qint32 DefaultShowBar = 1;

// Session, dwords.
inline constexpr char RestoreSession[] = "restore_session";
inline constexpr qint32 DefaultRestoreSession = 1;
inline constexpr char SessionActive[] = "session_active"; // index into the session list
inline constexpr qint32 DefaultSessionActive = -1;

// Lists of strings, stored as name_0, name_1, ... (SettingList).
inline constexpr char RecentList[] = "recent";
inline constexpr int RecentCapacity = 10;
inline constexpr char SessionList[] = "session";
inline constexpr int SessionCapacity = 1000;

// The folder the Open dialog starts in, a string; empty by default.
inline constexpr char LastFolder[] = "last_folder";

// View, dwords.
inline constexpr char Theme[] = "theme"; // 0 system, 1 light, 2 dark
inline constexpr qint32 DefaultTheme = 0;
inline constexpr char Zoom[] = "zoom"; // percent
inline constexpr qint32 DefaultZoom = 100;
inline constexpr char HidePageBreaks[] = "hide_page_breaks";
inline constexpr qint32 DefaultHidePageBreaks = 1;
inline constexpr char EmphasiseRequirementWords[] = "emphasise_bcp14";
inline constexpr qint32 DefaultEmphasiseRequirementWords = 1;
inline constexpr char UnderlineLinks[] = "underline_links";
inline constexpr qint32 DefaultUnderlineLinks = 1;
inline constexpr char ShowIndexPanel[] = "show_index_panel";
inline constexpr qint32 DefaultShowIndexPanel = 1;

// Library, strings. An empty folder is "library/" in the user's data folder;
// the addresses default to DocumentFetcher::DefaultRfcBaseUrl,
// DocumentFetcher::DefaultDraftBaseUrl, RfcLibrary::DefaultIndexUrl and
// ErrataSource::DefaultUrl.
inline constexpr char LibraryFolder[] = "library_folder";
inline constexpr char LibraryExtraFolders[] = "library_extra"; // separated by ':'
inline constexpr char RfcBaseUrl[] = "rfc_base_url";
inline constexpr char DraftBaseUrl[] = "draft_base_url";
inline constexpr char IndexUrl[] = "index_url";
inline constexpr char ErrataUrl[] = "errata_url";
// A dword: following a link to a document not on this machine fetches it.
inline constexpr char FetchOnFollow[] = "fetch_on_follow";
inline constexpr qint32 DefaultFetchOnFollow = 1;

// Fonts: one subkey of SettingsKeyPath each, with the same values.
inline constexpr char TextFontKey[] = "text";
inline constexpr char HeaderFontKey[] = "header";
inline constexpr char FontName[] = "name"; // a string; empty reads as FontRecord::DefaultFaceName
inline constexpr char FontCharset[] = "charset";
inline constexpr char FontSize[] = "size";
inline constexpr qint32 DefaultFontSize = FontRecord::DefaultSize;
inline constexpr char FontColor[] = "color";
inline constexpr char FontBold[] = "bold";
inline constexpr char FontItalic[] = "italic";
inline constexpr char FontUnderline[] = "underline";
inline constexpr char FontStrikeOut[] = "StrikeOut";
// charset, color and the styles read as 0 when missing.

} // namespace SettingNames
