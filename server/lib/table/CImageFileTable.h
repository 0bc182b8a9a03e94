// CImageFileTable: the file table the server uses for every file, "VUZO_FImage", whose rows
// are read into image file objects.
#pragma once

#include "table/CFileTable.h"
#include "model/CkxFileImage.h"

class CImageFileTable : public CFileTable {
public:
    std::string GetTableName() const override { return "VUZO_FImage"; }
    CkxFile* CreateFileObj() const override { return new CkxFileImage; }
};
