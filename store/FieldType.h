#pragma once

namespace store {

// Field data types, numbered as the data layer numbers them; callers show
// the number itself as a type code ("24" for a text column).
enum class FieldType : int {
    Unknown = 0,
    String = 1,
    SmallInt = 2,
    Integer = 3,
    Word = 4,
    Boolean = 5,
    Float = 6,
    Currency = 7,
    BCD = 8,
    Date = 9,
    Time = 10,
    DateTime = 11,
    Bytes = 12,
    VarBytes = 13,
    AutoInc = 14,
    Blob = 15,
    Memo = 16,
    Graphic = 17,
    FmtMemo = 18,
    ParadoxOle = 19,
    DBaseOle = 20,
    TypedBinary = 21,
    Cursor = 22,
    FixedChar = 23,
    WideString = 24,
    LargeInt = 25,
    ADT = 26,
    Array = 27,
    Reference = 28,
    DataSet = 29,
    OraBlob = 30,
    OraClob = 31,
    Variant = 32,
    Interface = 33,
    IDispatch = 34,
    Guid = 35,
    TimeStamp = 36,
    FMTBcd = 37,
};

// Whether values of the type are held and compared as numbers.
constexpr bool isNumericType(FieldType t)
{
    switch (t) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::Word:
    case FieldType::Boolean:
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD:
    case FieldType::AutoInc:
    case FieldType::LargeInt:
    case FieldType::FMTBcd:
        return true;
    default:
        return false;
    }
}

} // namespace store
