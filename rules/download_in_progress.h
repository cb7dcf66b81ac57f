// Entries that a download client is still writing: never listed, so that a
// rename cannot break the download.  They are known by the extension the
// client gives them until the download is complete, compared ASCII
// case-blind ("X.PART" is one too: Windows and macOS file systems ignore the
// case, and no client relies on it):
//   .part        Firefox, Transmission ("append .part"), JDownloader, KGet
//   .partial     Internet Explorer, the old Edge
//   .crdownload  Chrome, Edge, Brave, Vivaldi, Opera (Chromium browsers)
//   .download    Safari (a folder on macOS), also some P2P clients
//   .opdownload  Opera before Chromium
//   .!qb         qBittorrent ("append .!qB to incomplete files")
//   .!ut         uTorrent
//   .!bt         BitTorrent
//   .bc!         BitComet, BitLord
//   .az!         Vuze (Azureus)
//   .bt!         BitSpirit
//   .fb!         FlashGet
//   .dctmp       DC++
//   .aria2       aria2's control file beside the file it writes: renaming it
//                loses the download's progress.  (aria2 writes the data under
//                its final name, which cannot be told from the name alone.)
// Generic temporary extensions (.tmp, .temp) are left out: other programs
// use them for finished files too.
#pragma once

#include <span>
#include <string_view>

namespace rules {

// The extensions above, lower case, each with its period.
std::span<const std::string_view> DownloadInProgressExtensions();

// Whether name ends in one of them (the whole name, a directory's too: a
// Safari download is a folder).
bool IsDownloadInProgress(std::string_view name);

// The extension of the control files above that stand beside the file
// they write (aria2's): "X.aria2" keeps "X" from being renamed too.
std::string_view ControlFileExtension();

// The name of the download that name, such a control file, stands beside
// ("X" for "X.aria2", in any case); "" when it is none.
std::string_view ControlledDownload(std::string_view name);

}  // namespace rules
