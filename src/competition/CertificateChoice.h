#pragma once

#include <QString>

// What the operator asked certificates for: who gets one, in which order, and what the
// placeholders of the template read for the competition as a whole.
struct CertificateChoice {
    enum class Recipients {
        HeatResults,  // every competitor of the heats
        FinalResults, // every finalist
        BestPerClass, // places 1 to `places` of each class
        BestTeams     // team places 1 to `places`
    };
    enum class Order { ClassAndPlace, StartNumber };
    enum class Time { HeatTotal, FinalTotal }; // what {Zeit} reads: "G-Zeit" or "Endzeit"

    Recipients recipients = Recipients::HeatResults;
    // Places that still get one with BestPerClass and BestTeams; everyone who shares one of
    // them is included, so a tie for third gives four podium certificates.
    int places = 3;
    // BestPerClass ranks by the final results, otherwise by the heat results.
    bool bestFromFinal = true;
    Order order = Order::ClassAndPlace;
    // A competitor without a place (an error row, a finalist without both final runs) gets
    // "Teilnahme" instead of a place, provided they started at all; false leaves them out.
    bool participation = true;
    Time time = Time::HeatTotal;
    QString title; // {Titel}
    QString date;  // {Datum}
};
