#pragma once
// At start-up: the documents that a program no longer running left changed
// are offered back in one question.

// Asks whether to take the left copies back; Yes opens each as a changed
// document, No asks whether to keep them for the next start or throw them
// away. Answers how many documents were opened.
int OfferLeftCopies();
