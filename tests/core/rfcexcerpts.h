#pragma once

// Real excerpts of the corpus, cut down to what a rule of the section index
// needs, and one of a document outside it.

inline constexpr char Rfc2616Caching[] = R"(13 Caching in HTTP

   HTTP is typically used for distributed information systems, where
   performance can be improved by the use of response caches. The
13.1.1 Cache Correctness

   A correct cache MUST respond to a request with the most up-to-date
13.1.2 Warnings

   Whenever a cache returns a response that is neither first-hand nor

13.2 Expiration Model

13.2.1 Server-Specified Expiration
)";

inline constexpr char Rfc791Contents[] = R"(                           TABLE OF CONTENTS

    PREFACE ........................................................ iii

1.  INTRODUCTION ..................................................... 1

  1.1  Motivation .................................................... 1
  1.2  Scope ......................................................... 1

2.  OVERVIEW ......................................................... 5

APPENDIX A:  Examples & Scenarios ................................... 34

GLOSSARY ............................................................ 41

                                                                [Page i]

                           INTERNET PROTOCOL

                            1.  INTRODUCTION

1.1.  Motivation

  The Internet Protocol is designed for use in interconnected systems of

1.2.  Scope

APPENDIX A:  Examples &amp; Scenarios
)";

inline constexpr char Rfc9293ContentsTail[] = R"(Table of Contents

   1.  Purpose and Scope
   Appendix A.  Other Implementation Notes
     A.1.  IP Security Compartment and Precedence
       A.1.1.  Precedence
     A.3.  Nagle Modification
   Appendix B.  TCP Requirement Summary
   Acknowledgments

)";

inline constexpr char Rfc9293Appendices[] = R"(1.  Purpose and Scope

   most current TCP code bases, sometimes with minor variations (see
   Appendix A.3).
   variations of the Nagle algorithm, such as the one described in
   Appendix A.3.

Appendix A.  Other Implementation Notes

A.1.  IP Security Compartment and Precedence

A.1.1.  Precedence

A.3.  Nagle Modification

Appendix B.  TCP Requirement Summary
)";

// The chapters listed before the table, the table, and a numbered step.
inline constexpr char Rfc1001Lists[] = R"(                       SUMMARY OF CONTENTS

1.  STATUS OF THIS MEMO                                             6
3.  INTRODUCTION                                                    7

                        TABLE OF CONTENTS

1.  STATUS OF THIS MEMO                                             6

3.  INTRODUCTION                                                    7

1.  STATUS OF THIS MEMO

3.  INTRODUCTION

3.   Return error to user, no status obtained.
)";

// rfc3261: wrapped titles, a page break, a bare appendix letter and entries
// without a number.
inline constexpr char Rfc3261Contents[] = R"(Table of Contents

   1          Introduction ........................................    8
   23.4       SIP Header Privacy and Integrity using S/MIME:
              Tunneling SIP .......................................  207
   23.4.1     Integrity and Confidentiality Properties of SIP
              Headers .............................................  207
   26         Security Considerations: Threat Model and Security
              Usage Recommendations ...............................  232
   26.1.4     Tearing Down Sessions ...............................  235



Rosenberg, et. al.          Standards Track                     [Page 7]
)"
                               "\f"
                               R"(
RFC 3261            SIP: Session Initiation Protocol           June 2002


   26.1.5     Denial of Service and Amplification .................  236
   A          Table of Timer Values ...............................  265
   Acknowledgments ................................................  266

1 Introduction
)";

// rfc9000: no page numbers, the body right behind.
inline constexpr char Rfc9000Contents[] = R"(Table of Contents

   1.  Overview
     1.1.  Document Structure
   Appendix A.  Pseudocode
     A.1.  Sample Variable-Length Integer Decoding
   Contributors
   Authors' Addresses

1.  Overview
)";

// rfc1813 (not in the corpus): chapters are "5." in the table and "5.0" in the
// body; procedures are "N.M.0" onwards, titled otherwise in the table.
inline constexpr char Rfc1813Outline[] = R"(Table of Contents

   1.    Introduction . . . . . . . . . . . . . . . . . . . . . . .   3
   1.1     Scope of the NFS version 3 protocol  . . . . . . . . . .   4
   3.    Server Procedures  . . . . . . . . . . . . . . . . . . . .  27
   3.1     General comments on attributes . . . . . . . . . . . . .  29
   3.3.0   NULL: Do nothing . . . . . . . . . . . . . . . . . . . .  31
   3.3.1   GETATTR: Get file attributes . . . . . . . . . . . . . .  32
   5.    Appendix I: Mount protocol . . . . . . . . . . . . . . . . 106
   5.1     RPC Information  . . . . . . . . . . . . . . . . . . . . 106
   5.1.1     Authentication . . . . . . . . . . . . . . . . . . . . 106
   5.2     Server Procedures  . . . . . . . . . . . . . . . . . . . 107
   5.2.0     NULL: Do nothing . . . . . . . . . . . . . . . . . . . 108
   5.2.1     MNT: Add mount entry . . . . . . . . . . . . . . . . . 109
   6.    Appendix II: Lock manager protocol . . . . . . . . . . . . 114

1. Introduction

1.1 Scope of the NFS version 3 protocol

3.0 Server Procedures

3.1 General comments on attributes

3.3.0 Procedure 0: NULL - Do nothing

3.3.1 Procedure 1: GETATTR - Get file attributes

5.0 Appendix I: Mount protocol

5.1 RPC Information

5.1.1 Authentication

5.2 Server Procedures

5.2.0 Procedure 0: Null - Do nothing

5.2.1 Procedure 1: MNT - Add mount entry

6.0 Appendix II: Lock manager protocol
)";
