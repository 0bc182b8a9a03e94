#include "model/CkxFileOpeState.h"

int CkxFileOpeStateList::AddTail(const std::string& first, int firstNumber, int secondNumber) {
    CkxFileOpeState s;
    s.m_strFirst = first;
    s.m_nFirst = firstNumber;
    s.m_nSecond = secondNumber;
    return m_list.AddTail(s);
}

int CkxFileOpeStateList::AddTail(const std::string& first, const std::string& second) {
    CkxFileOpeState s;
    s.m_strFirst = first;
    s.m_strSecond = second;
    return m_list.AddTail(s);
}
