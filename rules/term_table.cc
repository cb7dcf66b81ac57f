#include "rules/term_table.h"

namespace rules {

// The order matters: each row works on what the rows before it left.
const std::array<std::string_view, kTermCount> kTermRows = {
    "(torrentstate)", "(eztv_re)", "(xvid)", "{1337x}-*", "1400mb", "272p",
    "3xforum", "480p", "576p", "640x464", "720p", "720p-dhd", "readnfo",
    "vodrip", "vodrip-*", "aac", "absurdity", "ac3", "ac3-*", "avc-*", "bdrip",
    "bg", "bgaudio", "bluray", "brrip", "crewsade", "divx5-*", "divx6",
    "divx-*", "divx", "bdrip", "bdrip-*", "dsr", "dts-*", "dvb", "dvbc",
    "dvdrip", "dvdrip+*", "dvdrip-*", "dvdscr", "festival", "ettv", "h264",
    "publichd", "hd", "hdrip", "hdtv", "hdtv-*", "(hdtv)", "hdtvrip", "hive-*",
    "hq", "internal-*", "mp3", "mp4", "eztv_re_forums", "eztv_re_forum",
    "mvgroup_forums", "mvgroup_forum", "mvgroup", "eztv.re", "eztv_re", "org",
    "pdtv", "prestige", "stv", "torentz", "tvrip", "tvrip-*", "uknova", "ws",
    "www", "x264", "x264-*", "xvid", "xvid-*", "468p",
};

}  // namespace rules
