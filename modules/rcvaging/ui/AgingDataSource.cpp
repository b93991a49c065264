#include "modules/rcvaging/ui/AgingDataSource.h"

#include <algorithm>

namespace vm::aging {

AgingDataSource::AgingDataSource(Aging& aging, bool detailed, bool withAddress,
                                 std::array<std::string, 5> typeNames, std::shared_ptr<CurrencySums> sums)
    : aging_(aging), sums_(std::move(sums)), detailed_(detailed), withAddress_(withAddress),
      typeNames_(std::move(typeNames)) {}

bool AgingDataSource::next() {
    if (done_) return false;
    if (detailed_ && hasAccount_ && row_ + 1 < account_.rows.size()) {
        ++row_;
        addToSums();
        return true;
    }
    hasAccount_ = aging_.nextAccount(account_);
    row_ = 0;
    if (!hasAccount_) done_ = true;
    if (hasAccount_) addToSums();
    return hasAccount_;
}

void AgingDataSource::addToSums() {
    if (!sums_) return;
    auto& s = (*sums_)[account_.currency];
    if (!detailed_) {
        s[0] += account_.total;
        for (std::size_t b = 0; b < 5; ++b)
            s[b + 1] += account_.buckets[b];
    } else if (row_ < account_.rows.size()) {
        const AgingRow& r = account_.rows[row_];
        s[0] += r.amount;
        s[static_cast<std::size_t>(std::clamp(r.bucket, 1, 5))] += r.amount;
    }
}

bool AgingDataSource::rewind() {
    aging_.restart();
    if (sums_) sums_->clear();
    hasAccount_ = false;
    done_ = false;
    row_ = 0;
    return true;
}

std::vector<std::string> AgingDataSource::fieldNames() const {
    std::vector<std::string> f{"code", "name", "phone", "address", "comments", "currency"};
    if (detailed_)
        for (const char* n : {"invoice", "date", "due_date", "reference", "type", "days"})
            f.emplace_back(n);
    for (const char* n : {"amount", "b1", "b2", "b3", "b4", "b5"})
        f.emplace_back(n);
    return f;
}

Value AgingDataSource::value(std::string_view name) const {
    if (!hasAccount_) return Value();
    std::string n(name);
    std::transform(n.begin(), n.end(), n.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const AgingAccount& a = account_;
    if (n == "code") return Value(a.code);
    if (n == "name") return Value(a.name);
    if (n == "phone") return Value(a.phone);
    if (n == "comments") return Value(a.comments);
    if (n == "currency") return Value(a.currency);
    if (n == "address") {
        if (!withAddress_) return Value(std::string());
        std::string out;
        auto add = [&](const std::string& line) {
            if (line.empty()) return;
            if (!out.empty()) out += '\n';
            out += line;
        };
        add(a.adr1);
        add(a.adr2);
        std::string city = a.city;
        if (!a.prov.empty()) city += (city.empty() ? "" : ", ") + a.prov;
        if (!a.postalCode.empty()) city += (city.empty() ? "" : "  ") + a.postalCode;
        add(city);
        add(a.country);
        return Value(out);
    }
    const bool bucket = n.size() == 2 && n[0] == 'b' && n[1] >= '1' && n[1] <= '5';
    const int b = bucket ? n[1] - '0' : 0;
    if (!detailed_) {
        if (n == "amount") return Value(a.total);
        if (bucket) return Value(a.buckets[static_cast<std::size_t>(b - 1)]);
        return Value();
    }
    if (row_ >= a.rows.size()) return Value();
    const AgingRow& r = a.rows[row_];
    if (n == "invoice") return Value(r.invoice);
    if (n == "date") return Value(r.date);
    if (n == "due_date") return Value(r.dueDate);
    if (n == "reference") return Value(r.reference);
    if (n == "days") return Value(r.days);
    if (n == "amount") return Value(r.amount);
    if (n == "type") {
        const int t = r.type.size() == 1 ? r.type[0] - '0' : 0;
        return Value(t >= 1 && t <= 5 ? typeNames_[static_cast<std::size_t>(t - 1)] : r.type);
    }
    if (bucket) return r.bucket == b ? Value(r.amount) : Value();
    return Value();
}

} // namespace vm::aging
