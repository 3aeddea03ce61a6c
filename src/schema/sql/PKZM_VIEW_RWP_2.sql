CREATE PROCEDURE PKZM_VIEW_RWP_2 (
DTP DATE,
DTK DATE)
RETURNS (
KARTA VARCHAR(14),
IDRWP INTEGER,
NR_OPER INTEGER,
NAZWISKO VARCHAR(50) COLLATE PXW_PLK,
NAZWAJedn VARCHAR(20) COLLATE PXW_PLK,
DATA DATE,
CZAS TIME,
RDPOS VARCHAR(10),
mJedn INTEGER,
mRDPOS SMALLINT,
mWskw SMALLINT,
WSKW VARCHAR(8),
SKAD VARCHAR(2))
AS
DECLARE VARIABLE P_NR_IDENT VARCHAR(14);
DECLARE VARIABLE P_SKAD VARCHAR(8);
BEGIN
  FOR SELECT R.IDRWP, R.NR_IDENT, R.NR_OPER, R.DATA, R.CZAS, R.RDPOS, R.WSKW, R.SKAD
      FROM KZM_RWP R
      WHERE R.DATA >= :DTP AND R.DATA <= :DTK
      INTO :IDRWP, :P_NR_IDENT, :NR_OPER, :DATA, :CZAS, :mRDPOS, :mWskw, :P_SKAD
  DO
  BEGIN
    /* Every text column starts empty, so a lookup that finds nothing leaves nothing of the
       previous row behind. */
    KARTA = '';
    NAZWISKO = '';
    NAZWAJedn = '';
    RDPOS = '';
    WSKW = '';
    SKAD = '';
    mJedn = NULL;

    IF (P_NR_IDENT IS NOT NULL) THEN
      KARTA = P_NR_IDENT;

    /* The person's name; none for a person deleted since. */
    IF (NR_OPER IS NULL OR NR_OPER = -1 OR NR_OPER = 0) THEN
      NAZWISKO = 'Karta nieznana';
    ELSE
      SELECT K.NAZWISKO FROM KZM_KART K WHERE K.NR_OPER = :NR_OPER INTO :NAZWISKO;

    /* The unit of the person's assignment on the reading's day. */
    SELECT P.IDJEDN FROM PKZM_PRZYDZIAL_1(:NR_OPER, :DATA) P INTO :mJedn;
    IF (mJedn IS NOT NULL) THEN
      SELECT J.NAZWA FROM KZM_JEDNOSTKI J WHERE J.ID = :mJedn INTO :NAZWAJedn;

    IF (mRDPOS = 1) THEN
      RDPOS = 'Sniadanie';
    ELSE IF (mRDPOS = 2) THEN
      RDPOS = 'Obiad';
    ELSE IF (mRDPOS = 3) THEN
      RDPOS = 'Kolacja';

    /* The serial port number the reading came from. */
    IF (P_SKAD IS NOT NULL) THEN
      SKAD = SUBSTRING(P_SKAD FROM 1 FOR 2);
    SUSPEND;
  END
END;
