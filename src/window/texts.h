// Every text that the program shows, in one place but for the two that the
// refresh writes itself, which stand below in listing/listing_texts.h and are
// included here. The Japanese ones are written as they read; the characters
// that have look-alikes (the full-width hyphen-minus U+FF0D, the double arrow
// U+21D4) by their code points.
#pragma once

#include "listing/listing_texts.h"
#include "version.h"

namespace tarnwick {

// The window's caption and the about box's first line: "SFN ⇔ LFN なソフト Tarnwick v1.0".
inline constexpr char16_t kWindowCaption[] = u"SFN \u21D4 LFN なソフト Tarnwick v" TARNWICK_VERSION;

// The captions of the two sort options and of the push button.
inline constexpr char16_t kSortByLongNameCaption[] = u"LFNでソート";
inline constexpr char16_t kSortByShortNameCaption[] = u"SFNでソート";
inline constexpr char16_t kAboutCaption[] = u"バージョン情報";

// The list's menu: copy the chosen line, every line, the chosen file's
// short name, its short path; read the folder again. Each with its access
// key; a toolkit adds the shortcut its own way.
inline constexpr char16_t kCopyLineCaption[] = u"コピー(&C)";
inline constexpr char16_t kCopyAllLinesCaption[] = u"すべての行をコピー(&A)";
inline constexpr char16_t kCopyShortNameCaption[] = u"短い名前をコピー(&N)";
inline constexpr char16_t kCopyShortPathCaption[] = u"短いパスをコピー(&P)";
inline constexpr char16_t kReloadCaption[] = u"最新の情報に更新(&R)";
// The label's menu: copy the folder's short path.
inline constexpr char16_t kCopyFolderPathCaption[] = u"パスをコピー(&P)";
// The same in the list's menu, where the keyboard reaches it.
inline constexpr char16_t kCopyFolderShortPathCaption[] = u"フォルダーの短いパスをコピー(&F)";

// What a screen reader calls the controls that have no caption of their own:
// the drive list, the folder list, the file list and the path label.
inline constexpr char16_t kDrive1Name[] = u"ドライブ";
inline constexpr char16_t kDir1Name[] = u"フォルダー";
inline constexpr char16_t kList1Name[] = u"ファイル";
inline constexpr char16_t kLabel1Name[] = u"フォルダーの短いパス";

// Where a line's short name comes from, in its tooltip under the whole line.
inline constexpr char16_t kOriginDisk[] = u"短い名前: ディスクに記録されている名前です。";
inline constexpr char16_t kOriginValidName[] =
    u"短い名前: 長い名前がそのまま 8.3 形式の名前なので、同じ名前です。";
inline constexpr char16_t kOriginRules[] =
    u"短い名前: FAT の規則 (コード ページ 932) で求めた名前です。FAT のディスクなら"
    u"おそらくこう呼ばれますが、ディスクに記録されている名前ではありません。";
inline constexpr char16_t kOriginRulesGuess[] =
    u"短い名前: このディスク (カーネルの ntfs3 ドライバーでマウントした NTFS) に記録されている"
    u"短い名前は読めないため、FAT "
    u"の規則で推測した名前です。ディスク上の名前とは違うことがあります。";
inline constexpr char16_t kOriginNone[] =
    u"短い名前: ファイル システムはこのファイルの短い名前を記録していないので、長い名前のままです。"
    u"exFAT のディスクは短い名前を記録しません。NTFS のドライブでは 8.3 形式の名前が作られない"
    u"設定かもしれません (fsutil 8dot3name query で確かめられます)。";

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
inline constexpr char16_t kClipboardUnusable[] = u"クリップボードにコピーできませんでした。";
inline constexpr char16_t kFolderGone[] = u"フォルダーがなくなりました。上のフォルダーに移ります。";
inline constexpr char16_t kDropNotUsable[] =
    u"ドロップされたものはドライブ上のフォルダーでもファイルでもありません。";

}  // namespace tarnwick
