// A pairwise suite for a web shop's checkout, built in code with libvantrel: the suite as
// tab-separated text on standard output, what it covers and why one pair cannot occur on
// standard error.
#include <vantrel/delimited.hpp>
#include <vantrel/design.hpp>

#include <iostream>

int main()
{
    vantrel::Model model;
    model.factors = {vantrel::Factor::Of("Customer", {"Guest", "Registered", "Premium"}),
                     vantrel::Factor::Of("Country", {"Germany", "France", "United States", "Japan"}),
                     vantrel::Factor::Of("Delivery", {"Standard", "Express", "Pickup", "Locker"}),
                     vantrel::Factor::Of("Basket", {"One item", "Many items", "Oversized"})};
    model.rules = "IF [Delivery] = \"Pickup\" THEN [Country] IN {\"Germany\", \"France\"};\n"
                  "IF [Delivery] = \"Locker\" THEN [Basket] <> \"Oversized\" AND [Country] <> \"Japan\";\n";
    const vantrel::Result<vantrel::Design> design = vantrel::Design::Compile(model);
    if (!design) {
        std::cerr << design.error().line << ":" << design.error().column << ": " << design.error().message << "\n";
        return 1;
    }
    vantrel::Options options;
    options.seed = 1;
    const vantrel::Result<vantrel::Suite> suite = design->Generate(options);
    if (!suite) {
        std::cerr << suite.error().message << "\n";
        return 1;
    }
    std::cout << vantrel::Delimited(suite->factors, suite->rows, vantrel::Delimiter::Tab).value();
    std::cerr << design->CoverageOf(suite->rows, {}).Summary("the coverage report") << "\n";
    const vantrel::Reason japan = design->Explain({{1, 3}, {2, 3}});
    std::cerr << japan.Sentence("Japan with Locker") << "\n";
    return 0;
}
