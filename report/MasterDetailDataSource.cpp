#include "report/MasterDetailDataSource.h"

#include "report/TextUtil.h"

namespace vm::report {

bool MasterDetailDataSource::next() {
    if (done_) return false;
    if (detail_ && detail_->next()) {
        groupOnly_ = false;
        return true;
    }
    detail_ = nullptr;
    while (master_.next()) {
        DataSource& d = detailFor_();
        lastDetail_ = &d;
        if (d.next()) {
            detail_ = &d;
            groupOnly_ = false;
            return true;
        }
        if (keepEmpty_) {
            groupOnly_ = true;
            return true;
        }
    }
    done_ = true;
    groupOnly_ = false;
    return false;
}

std::vector<std::string> MasterDetailDataSource::fieldNames() const {
    std::vector<std::string> names;
    if (lastDetail_) names = lastDetail_->fieldNames();
    for (auto& m : master_.fieldNames()) {
        bool dup = false;
        for (auto& n : names)
            dup = dup || equalsNoCase(n, m);
        if (!dup) names.push_back(m);
    }
    return names;
}

Value MasterDetailDataSource::value(std::string_view name) const {
    if (lastDetail_ && lastDetail_->hasField(name))
        return groupOnly_ || !detail_ ? Value() : detail_->value(name);
    return master_.value(name);
}

bool MasterDetailDataSource::hasField(std::string_view name) const {
    return (lastDetail_ && lastDetail_->hasField(name)) || master_.hasField(name);
}

} // namespace vm::report
