#include "platform/ui/Persistent.h"

#include <string>

namespace platform {

void Persistent::Assign(const Persistent &source)
{
    source.AssignTo(*this);
}

void Persistent::AssignTo(Persistent &dest) const
{
    dest.RaiseAssignError(this);
}

void Persistent::RaiseAssignError(const Persistent *source) const
{
    const std::string from = source ? source->ClassName() : "nil";
    throw AssignError("Cannot assign a " + from + " to a " + ClassName());
}

} // namespace platform
