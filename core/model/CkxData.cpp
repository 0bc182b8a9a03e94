#include "model/CkxData.h"

std::string KX_DataKindName(int kind) {
    switch (kind) {
    case KXD_UNKNOWN: return "未知";
    case KXD_BINARY: return "二进制";
    case KXD_TEXT: return "文本";
    case KXD_IMAGE: return "图像";
    case KXD_VIDEO: return "视频";
    case KXD_AUDIO: return "音频";
    default: return {};
    }
}

std::string KX_DataStateName(int state) {
    switch (state) {
    case KXS_ACT: return "普通";
    case KXS_HIDE: return "隐藏";
    case KXS_DELETE: return "删除";
    default: return {};
    }
}
