// The core's readers of bytes that another machine or program wrote, each driven the way its
// callers drive it: the libFuzzer harnesses in fuzz/ feed them the fuzzer's bytes, and
// fuzz_regressions_test replays what the fuzzers once found. A reader may refuse anything; what
// it accepts must stay within the bytes it was given (Expect aborts otherwise, which the fuzzer
// reports as a finding and a test as a crash).
#pragma once

#include "model/CkxAttr.h"
#include "model/CkxAttrValue.h"
#include "model/CkxConst.h"
#include "model/CkxContainer.h"
#include "model/CkxFIPhoto.h"
#include "model/CkxFSNode.h"
#include "model/CkxFile.h"
#include "model/CkxFileImage.h"
#include "model/CkxFileKinds.h"
#include "model/CkxKeywordTemplet.h"
#include "model/CkxObjAttrTemplet.h"
#include "model/CkxPower.h"
#include "model/CkxProject.h"
#include "model/CkxQueryOperand.h"
#include "model/CkxQueryTemplet.h"
#include "model/CkxUserGroup.h"
#include "model/CkxUserLicence.h"
#include "model/CkxUserX.h"
#include "model/CkxValue.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace bytereaders {

inline void Expect(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "reader broke its promise: %s\n", what);
    std::abort();
}

// The multi-section container, and the file a container of sections makes.
inline void ReadContainer(const uint8_t* p, size_t size) {
    const int n = static_cast<int>(size);
    CkxContainer c;
    const int got = c.PasyBuf(p, n);
    if (got <= 0) return;
    int64_t sum = 4 + 4 * static_cast<int64_t>(got);
    for (int i = 0; i < c.GetCount(); ++i) sum += c.GetSect(i)->Len();
    Expect(sum <= n, "container sections fit the buffer");
    std::unique_ptr<CkxFile> made(CkxFile::_CreateFile(c));
    if (made) {
        made->PasyFileData(c);
        made->PasyFileAttr(c);
    }
}

// File bodies: the information, data and attribute containers of every file kind, a file made
// from a bare record, and the attribute template's body.
inline void ReadFileBodies(const uint8_t* p, size_t size) {
    const int n = static_cast<int>(size);
    CkxBuf buf;
    if (n > 0) buf.Fill(p, n);
    CkxFile a, b, c;
    a.PasyFileInfo(buf);
    b.PasyFileData(buf);
    c.PasyFileAttr(buf);
    CkxFIPhoto photo;
    photo.PasyFileData(buf);
    photo.PasyFileInfo(buf);
    CkxFileImage image;
    image.PasyFileData(buf);
    CkxFileText text;
    text.PasyFileData(buf);
    std::unique_ptr<CkxFile> made(CkxFile::_CreateFile(p, n));
    if (made) for (int id = -2; id < 80; ++id) made->GetAttrText(id);
    for (int mode : {0, static_cast<int>(KXD_IMAGE)}) {
        CkxObjAttrTemplet t;
        t.m_nDataMode = mode;
        t.PasyBuf(p, n);
    }
}

// A stored copy on disk: its header, its content and the bodies read from it by every kind.
inline void ReadStoredCopy(const std::string& path, size_t size) {
    CkxFile::_ENCRYPT_HEAD h;
    const bool head = CkxFile::ReadEncryptHead(path, h);
    Expect(head == (size >= static_cast<size_t>(CkxFile::kEncryptHeadSize)), "header read iff present");
    CkxBuf content;
    if (CkxFile::LoadEncryptFile(path, content))
        Expect(static_cast<size_t>(content.GetLen()) == size - CkxFile::kEncryptHeadSize, "content is the rest");
    CkxFile plain;
    plain.LoadEncryptFileMemWhole(path);
    plain.LoadEncryptFileInfo(path);
    CkxFileText text;
    text.LoadEncryptFileInfo(path);
    text.LoadEncryptFileData(path);
    CkxFileImage image;
    image.LoadEncryptFileInfo(path);
    image.LoadEncryptFileData(path);
    CkxFIPhoto photo;
    photo.LoadEncryptFileInfo(path);
    photo.LoadEncryptFileData(path);
}

inline void ReadStoredCopy(const uint8_t* p, size_t size, const std::string& path) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(p), static_cast<std::streamsize>(size));
    }
    ReadStoredCopy(path, size);
}

// Rights buffers (a power with its licences, a folder's rights) and member containers (a
// group's users, a project's users, a keyword template's keywords).
inline void ReadRightsAndMembers(const uint8_t* p, size_t size) {
    const int n = static_cast<int>(size);
    CkxPower power;
    power.PasyBuf(p, n);
    CkxUserLicenceList licences;
    Expect(licences.PasyBuf(p, n) <= n / static_cast<int>(sizeof(CkxUserLicence::_COM)), "whole licences only");
    CkxFSNode node;
    node.PasyPower(p, n);
    CkxUserGroup group;
    if (group.PasyQueryBuf(p, n)) Expect(static_cast<int64_t>(group.m_UserList.size()) * 8 <= n, "members fit");
    CkxUserXList users;
    users.PasyBuf(p, n);
    CkxProject project;
    project.PasyUserBuf(p, n);
    CkxKeywordTemplet keywords;
    keywords.PasyBuf(p, n);
}

// Query templates of every kind and a single operand, shown and turned into SQL as the
// server does with what it read.
inline void ReadQuery(const uint8_t* p, size_t size) {
    const int n = static_cast<int>(size);
    for (int mode : {0, 1, 2, static_cast<int>(CkxQueryTemplet::kKindWithFix)}) {
        CkxQueryTemplet t;
        t.m_nDataMode = mode;
        if (t.PasyQueryBuf(p, n) > 0 && t.IsValid()) t.m_OperandList.FormatSQL();
    }
    CkxQueryOperand o;
    const int got = o.PasyBuf(p, n);
    Expect(got <= n, "operand within the buffer");
    if (got <= 0) return;
    o.GetValue1().GetText();
    o.GetValue2().GetText();
    o.Get_Str();
    o.GetFormatText();
    o.GetFormatText2();
    o.FormatSQL_Fix("T_Title");
    o.FormatSQL_Link("attrid", "attrvalue");
    CkxQueryOperandList l;
    l.AddTail(o);
    l.FormatSQL();
}

// List buffers: whole records one after another.
inline void ReadLists(const uint8_t* p, size_t size) {
    const int n = static_cast<int>(size);
    CkxAttrValueList values;
    Expect(values.PasyBuf(p, n) <= n / static_cast<int>(sizeof(CkxAttrValue::_COM)), "whole values only");
    for (POSITION pos = values.GetHeadPosition(); pos;) values.GetNext(pos)->GetText();
    CkxConstList consts;
    Expect(consts.PasyBuf(p, n) <= n / static_cast<int>(sizeof(CkxConst::_COM)), "whole constants only");
    CkxAttr attr;
    attr.PasyBuf(p, n);
}

} // namespace bytereaders
