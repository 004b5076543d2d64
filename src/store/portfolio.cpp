#include "store/portfolio.h"

#include <sys/mman.h>

#include <bit>
#include <cstdint>
#include <functional>
#include <mutex>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "store/numbers.h"

namespace chomaru {

namespace {

// Record slots come from blocks of 2 MB that the kernel may back with huge
// pages. A full portfolio holds 6 MB of slots; touched one 4 KB page at a
// time they cost more at start-up, on some machines, than reading the file.
// Slots given back are taken again first. Under AddressSanitizer the slots
// come from the ordinary heap, so that a slot used after it was given back
// is still caught.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool pooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool pooled = false;
#else
constexpr bool pooled = true;
#endif
#else
constexpr bool pooled = true;
#endif

class SlotPool {
public:
    static constexpr size_t slot_size = sizeof(RecordTable::Slots);
    static constexpr size_t block_size = size_t(2) << 20;

    // Never destroyed: tables may be given back while the program ends.
    static SlotPool& instance() {
        static SlotPool* const pool = new SlotPool;
        return *pool;
    }

    void* take() {
        if constexpr (!pooled) return ::operator new(slot_size);
        const std::lock_guard lock(mutex_);
        if (free_.empty()) add_block();
        void* slot = free_.back();
        free_.pop_back();
        return slot;
    }

    void give_back(void* slot) {
        if constexpr (!pooled) return ::operator delete(slot);
        const std::lock_guard lock(mutex_);
        free_.push_back(slot);
    }

private:
    void add_block() {
        // Twice the size is mapped so that a block on a 2 MB boundary lies
        // inside; the rest is unmapped again.
        void* mapped = ::mmap(nullptr, 2 * block_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) throw std::bad_alloc();
        const auto start = reinterpret_cast<uintptr_t>(mapped);
        const uintptr_t block = (start + block_size - 1) & ~uintptr_t(block_size - 1);
        if (block > start) ::munmap(mapped, block - start);
        if (block + block_size < start + 2 * block_size)
            ::munmap(reinterpret_cast<void*>(block + block_size), start + 2 * block_size - block - block_size);
        // Without huge pages the block works the same, page by page.
        ::madvise(reinterpret_cast<void*>(block), block_size, MADV_HUGEPAGE);
        for (size_t offset = (block_size / slot_size) * slot_size; offset >= slot_size; offset -= slot_size)
            free_.push_back(reinterpret_cast<void*>(block + offset - slot_size));
    }

    std::mutex mutex_;
    std::vector<void*> free_;
};

bool same_value(float a, float b) { return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b); }
template <typename T>
bool same_value(const T& a, const T& b) {
    return a == b;
}

void mix(size_t& hash, size_t value) { hash ^= value + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2); }

size_t hash_value(const std::string& text) { return std::hash<std::string>{}(text); }
size_t hash_value(float value) { return std::bit_cast<uint32_t>(value); }
size_t hash_value(Currency value) { return size_t(value.units()); }
size_t hash_value(AccountType type) { return size_t(type); }
size_t hash_value(int32_t value) { return size_t(uint32_t(value)); }
size_t hash_value(const QuotedPrice& p) { return hash_value(p.price) ^ hash_value(p.date); }
size_t hash_value(const Split& s) {
    return hash_value(s.date) ^ (size_t(uint32_t(s.before)) << 32 | uint32_t(s.after));
}
size_t hash_value(const DividendPayment& d) {
    return hash_value(d.date) ^ hash_value(d.gross) ^ hash_value(d.withheld);
}
template <typename T>
size_t hash_value(const std::optional<T>& value) {
    return value ? hash_value(*value) : 0;
}
template <typename T>
size_t hash_value(const std::vector<T>& values) {
    size_t hash = values.size();
    for (const T& v : values) mix(hash, hash_value(v));
    return hash;
}

template <typename Fields>
size_t hash_fields(const Fields& fields) {
    size_t hash = 0;
    std::apply([&hash](const auto&... field) { (mix(hash, hash_value(field)), ...); }, fields);
    return hash;
}

}  // namespace

bool same_figures(const StockFigures& a, const StockFigures& b) {
    return std::apply(
        [&b](const auto&... x) {
            return std::apply([&x...](const auto&... y) { return (same_value(x, y) && ...); }, figure_fields(b));
        },
        figure_fields(a));
}

size_t hash_figures(const StockFigures& figures) { return hash_fields(figure_fields(figures)); }

size_t hash_record(const TradeRecord& record) {
    const auto& [date, price, shares, amount] = record;
    return hash_fields(std::tie(date, price, shares, amount));
}

RecordTable::Owned RecordTable::make_slots(const Slots* copy_of) {
    void* place = SlotPool::instance().take();
    try {
        return Owned(copy_of ? new (place) Slots(*copy_of) : new (place) Slots());
    } catch (...) {
        SlotPool::instance().give_back(place);
        throw;
    }
}

void RecordTable::GiveBack::operator()(Slots* slots) const {
    slots->~Slots();
    SlotPool::instance().give_back(slots);
}

RecordTable::RecordTable(const RecordTable& other) : slots_(other.slots_ ? make_slots(other.slots_.get()) : nullptr) {}

RecordTable& RecordTable::operator=(const RecordTable& other) {
    if (this != &other) slots_ = other.slots_ ? make_slots(other.slots_.get()) : nullptr;
    return *this;
}

RecordTable::Slots& RecordTable::written() {
    if (!slots_) slots_ = make_slots(nullptr);
    return *slots_;
}

const RecordTable::Slots& RecordTable::read() const {
    static const Slots none{};
    return slots_ ? *slots_ : none;
}

FeeTable FeeTable::defaults() {
    FeeTable t;
    t.fee_limit = {1000000, 5000000, 10000000, 30000000, 50000000, 0};
    t.fee_rate = {0.01115f, 0.009f, 0.007f, 0.00575f, 0.00375f, 0.0f};
    t.fee_add = {0, 2500, 12500, 25000, 85000, 272500};
    t.fee_min = 2500;
    t.fee_max = 0;
    return t;
}

std::optional<Split> split_ratio(std::string_view text) {
    const auto whole = [](std::string_view part) -> std::optional<int32_t> {
        const size_t first = part.find_first_not_of(' ');
        if (first == std::string_view::npos) return std::nullopt;
        part = part.substr(first, part.find_last_not_of(' ') - first + 1);
        // Four digits at most: 1000 is the largest side.
        if (part.size() > 4 || part.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
        int32_t value = 0;
        for (const char c : part) value = value * 10 + (c - '0');
        return value;
    };
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::optional<int32_t> before = whole(text.substr(0, colon));
    const std::optional<int32_t> after = whole(text.substr(colon + 1));
    if (!before || !after || !is_split_ratio(*before, *after)) return std::nullopt;
    return Split{std::string(), *before, *after};
}

std::string split_text(const Split& split) {
    return std::string(split.after < split.before ? "併合 " : "分割 ") + std::to_string(split.before) + ":" +
           std::to_string(split.after);
}

std::string shown_name(const Stock& stock) {
    std::string name = is_unnamed(stock) ? "（名称なし）" : stock.stock_name;
    if (stock.account != AccountType::tokutei) name += " ［" + std::string(account_name(stock.account)) + "］";
    return name;
}

void z_data_init(Portfolio& portfolio) {
    Stock& s = portfolio.current();
    StockFigures& figures = s;
    figures = StockFigures();
    s.buy_count = 0;
    s.sell_count = 0;
}

void append_record(RecordTable& records, int32_t& count, const TradeRecord& record) {
    if (count < 0 || count >= max_records) throw OverflowError("the records are full");
    records[size_t(count)] = record;
    ++count;
}

void remove_record(RecordTable& records, int32_t& count, int32_t index) {
    if (count > max_records || index < 0 || index >= count) throw std::out_of_range("no such record");
    for (int32_t k = index; k < count - 1; ++k) records[size_t(k)] = std::move(records[size_t(k + 1)]);
    --count;
}

void remove_current_stock(Portfolio& portfolio) {
    if (portfolio.last_stock == 0) {
        z_data_init(portfolio);
        return;
    }
    const int32_t last = portfolio.last_stock;
    for (int32_t s = portfolio.current_stock; s < last; ++s)
        portfolio.stocks.at(size_t(s)) = std::move(portfolio.stocks.at(size_t(s + 1)));
    portfolio.last_stock = last - 1;
    portfolio.current_stock = 0;
}

void reset_to_first_stock(Portfolio& portfolio, std::string code, std::string name) {
    portfolio.last_stock = 0;
    portfolio.current_stock = 0;
    z_data_init(portfolio);
    portfolio.stocks[0].stock_code = std::move(code);
    portfolio.stocks[0].stock_name = std::move(name);
    portfolio.fees = FeeTable::defaults();
}

}  // namespace chomaru
