// Sample records with every kind of field filled, written by the product's own writers: the
// damaged-bytes tests start from them and the fuzzers' seed corpora are made from them.
#pragma once

#include "model/CkxAttrValue.h"
#include "model/CkxContainer.h"
#include "model/CkxFile.h"
#include "model/CkxQueryOperand.h"
#include "model/CkxQueryTemplet.h"
#include "model/CkxValue.h"

#include <string>

// A file with text, a date, two extended attribute values, a thumbnail and whole content.
inline CkxFile SampleFile() {
    CkxFile f;
    f.m_nID = 7;
    f.m_nFamilyID = 2;
    f.m_strTitle = "sea view";
    f.m_strExName = "jpg";
    f.m_strRemark = "remark";
    f.m_dtAuth = COleDateTime(2020, 5, 6, 7, 8, 9);
    f.m_ExAttrValueList.AddTail(CkxAttrValue(7, 101));
    f.m_ExAttrValueList.AddTail(CkxAttrValue(7, 102));
    const unsigned char micro[] = {1, 2, 3, 4, 5};
    f.UpdateMicro(micro, 5);
    const unsigned char whole[] = {9, 8, 7, 6, 5, 4, 3};
    f.UpdateWhole(whole, 7);
    return f;
}

// A query template with its fixed block and operands of a number, a range and a quoted text.
inline CkxQueryTemplet SampleQuery() {
    CkxQueryTemplet t;
    t.m_nDataMode = CkxQueryTemplet::kKindWithFix;
    t.ResetFix();
    t.m_OperandList.AddTail(CkxQueryOperand(5, CkxQuerySQL::OS_EQUAL, CkxValueSp(3)));
    t.m_OperandList.AddTail(CkxQueryOperand(6, CkxQuerySQL::OS_FROMTO, CkxValueSp(1.5f), CkxValueSp(2.5f)));
    t.m_OperandList.AddTail(CkxQueryOperand(7, CkxQuerySQL::OS_INCLUDE, CkxValueSp(std::string("x'y"))));
    return t;
}

// A container of three sections, the middle one empty.
inline CkxContainer SampleContainer() {
    CkxContainer c;
    c.AddSect("abc", 3);
    c.AddSect("", 0);
    c.AddSect("defgh", 5);
    return c;
}
