// The file kinds that add no work of their own to CkxFile: text (document), audio, video and
// binary. Each only sets its file kind and keeps its class when cloned.
#pragma once

#include "model/CkxFile.h"
#include "model/KxExport.h"

#define KX_PLAIN_FILE_KIND(Class, kind)                                                            \
    class KX_EXPORT Class : public CkxFile {                                                       \
    public:                                                                                        \
        Class() { m_nFileType = kind; }                                                            \
        Class(const Class&) = default;                                                             \
        explicit Class(const _COM& com) : Class() { SetComData(com); }                             \
        Class& operator=(const Class&) = default;                                                  \
        Class& operator=(const _COM& com) {                                                        \
            SetComData(com);                                                                       \
            return *this;                                                                          \
        }                                                                                          \
        ~Class() override = default;                                                               \
        CkxFile* Clone() const override { return new Class(*this); }                               \
    }

KX_PLAIN_FILE_KIND(CkxFileText, KXFK_TEXT);
KX_PLAIN_FILE_KIND(CkxFileAudio, KXFK_AUDIO);
KX_PLAIN_FILE_KIND(CkxFileVideo, KXFK_VIDEO);
KX_PLAIN_FILE_KIND(CkxFileBinary, KXFK_BINARY);

#undef KX_PLAIN_FILE_KIND
