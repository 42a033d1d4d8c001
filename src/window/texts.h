// Every text that the program shows, in one place. The Japanese ones are
// written as they read; the characters that have look-alikes (the full-width
// hyphen-minus U+FF0D, the double arrow U+21D4) by their code points.
#pragma once

namespace tarnwick {

// The window's caption and the about box's first line: "SFN ⇔ LFN なソフト Tarnwick v1.0".
inline constexpr char16_t kWindowCaption[] = u"SFN \u21D4 LFN なソフト Tarnwick v1.0";

// The captions of the two sort options and of the push button.
inline constexpr char16_t kSortByLongNameCaption[] = u"LFNでソート";
inline constexpr char16_t kSortByShortNameCaption[] = u"SFNでソート";
inline constexpr char16_t kAboutCaption[] = u"バージョン情報";

// The label's caption, and the start of its line after each refresh: "パス名－".
inline constexpr char16_t kLabelPrefix[] = u"パス名\uFF0D";

// What stands between the two names on a line of the list: " ⇔ ".
inline constexpr char16_t kNameSeparator[] = u" \u21D4 ";

// The list's menu: copy the chosen line, copy every line.
inline constexpr char16_t kCopyLineCaption[] = u"コピー";
inline constexpr char16_t kCopyAllLinesCaption[] = u"すべての行をコピー";

// The about box: the caption, a line break, 40 spaces, "by " and the credit;
// its title is the push button's caption.
inline constexpr char16_t kCredit[] = u"Tarnwick 開発チーム";

// The first line of a message box that reports an error.
inline constexpr char16_t kFolderNotFound[] = u"フォルダーが見つかりません。";
inline constexpr char16_t kFolderMayNotBeRead[] = u"フォルダーを読む権限がありません。";
inline constexpr char16_t kDriveNotReady[] = u"ドライブの準備ができていません。";
inline constexpr char16_t kFolderUnreadable[] = u"フォルダーを読めませんでした。";
inline constexpr char16_t kDriveRemoved[] = u"ドライブが取り外されました。";
inline constexpr char16_t kInternalError[] = u"内部エラーが発生しました。";

}  // namespace tarnwick
