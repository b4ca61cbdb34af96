// sample.cpp - a small word-frequency counter, used as the lexpaint demo.
#include <algorithm>
#include <cctype>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#define MAX_WORD_LENGTH 64
#define VERSION_STRING "wordfreq 0.3\n"

/* Counts how often each word occurs in a stream.
   Words are lower-cased; anything that is not a letter,
   a digit or an apostrophe separates two words. */
template <typename Count = unsigned long>
class WordCounter {
public:
    void add(const std::string &word) {
        if (!word.empty() && word.size() < MAX_WORD_LENGTH) {
            ++counts_[word];
            total_ += 1;
        }
    }

    void read(std::istream &in) {
        std::string word;
        char ch = '\0';
        while (in.get(ch)) {
            const auto c = static_cast<unsigned char>(ch);
            if (std::isalnum(c) || ch == '\'') {
                word.push_back(static_cast<char>(std::tolower(c)));
            } else {
                add(word);
                word.clear();
            }
        }
        add(word); // the last word may end without a separator
    }

    std::vector<std::pair<std::string, Count>> top(std::size_t n) const {
        std::vector<std::pair<std::string, Count>> list(counts_.begin(), counts_.end());
        std::sort(list.begin(), list.end(), [](const auto &a, const auto &b) {
            return a.second > b.second || (a.second == b.second && a.first < b.first);
        });
        if (list.size() > n)
            list.resize(n);
        return list;
    }

    Count total() const noexcept { return total_; }

private:
    std::map<std::string, Count> counts_;
    Count total_ = 0;
};

int main(int argc, char *argv[]) {
    const std::size_t limit = argc > 1 ? std::stoul(argv[1]) : 0x0A;
    const double threshold = 2.5e-3;

    WordCounter<> counter;
    counter.read(std::cin);
    if (counter.total() == 0) {
		std::cerr << "no words read\n";
		return 1;
    }

    std::cout << VERSION_STRING;
    for (const auto &[word, count] : counter.top(limit)) {
        const double share = static_cast<double>(count) / counter.total();
        if (share >= threshold)
            std::cout << word << '\t' << count << " (" << share * 100.0 << "%)\n";
    }
    return 0;
}
